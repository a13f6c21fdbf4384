// The lines of the file-information window and of `lorivane-dump meta`:
// captions in Japanese, padded to one column so that the values line up in
// a fixed-pitch font; the file's texts stay its bytes (DisplayLine pieces).
#pragma once

#include "core/dictionary/file_dictionary.h"
#include "core/text/display_line.h"

namespace lv {

// Header details, encoding (the one the texts are decoded with, beside what
// the file says), product info, documents, file attributes,
// multiple-response sets, variable sets, extension records and the reader's
// warnings.
void FileInfoLines(const FileDictionary& dict, std::string_view encoding, LineSink& sink);

// One block per variable: names, label, type, formats, measure, display
// width, alignment, role, attributes, value labels and missing values.
void VariableDetailLines(const FileDictionary& dict, LineSink& sink);

// The words of the file information lines, shared with the codebook:
// compression ("なし", "バイトコード", "zlib"), alignment ("左", "右",
// "中央", "(記録なし)") and role ("入力", "ターゲット", ...).
std::string_view CompressionText(int compression);
std::string_view AlignmentText(int alignment);
std::string_view RoleText(int role);

// Screen columns of a UTF-8 literal in a fixed-pitch Japanese font: 1 for
// ASCII, 2 for every other character (the captions' characters are wide).
int LiteralColumns(std::string_view utf8);

}  // namespace lv
