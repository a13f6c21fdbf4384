// How lorivane-dump prints its messages: one line each on standard error,
// "lorivane-dump: " first, in English, with invalid UTF-8 and control
// characters shown escaped (\xff), so that a name or a condition quoted
// from the command line or a file can neither garble the terminal nor
// break the line.
#pragma once

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

namespace lv::cli {

// "lorivane-dump: text".
void PrintMessage(std::FILE* err, std::string_view text);
// "lorivane-dump: path: text".
void PrintMessage(std::FILE* err, std::string_view path, std::string_view text);

// An error's text in English: the English wording of the program's own
// errors, else what() (the standard library's are English).
std::string EnglishWhat(const std::exception& e);

}  // namespace lv::cli
