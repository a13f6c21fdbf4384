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

// input: a shell command whose output the tool reads on standard input
// through a pipe; empty for none (/dev/null).
DumpResult RunDump(const std::vector<std::string>& args, const std::string& input = {});

std::string ReadWholeFile(const std::string& path);
