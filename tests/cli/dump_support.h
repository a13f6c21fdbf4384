// Runs lorivane-dump as a child process and captures what it prints.
#pragma once

#include <string>
#include <vector>

struct DumpResult {
    int status = -1;  // exit status; -1 when the tool did not exit normally
    std::string out;
    std::string err;
    std::vector<std::string> OutLines() const;
};

DumpResult RunDump(const std::vector<std::string>& args);

std::string ReadWholeFile(const std::string& path);
