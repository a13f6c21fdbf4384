#include "dump_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

std::vector<std::string> DumpResult::OutLines() const {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

DumpResult RunDump(const std::vector<std::string>& args, const std::string& input) {
    static int serial = 0;
    const std::string errPath =
        "/tmp/lorivane-dump-test-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
    std::string command = ShellQuote(std::string(LORIVANE_BINARY_DIR) + "/cli/lorivane-dump");
    for (const std::string& a : args) command.append(" ").append(ShellQuote(a));
    command += " 2>" + ShellQuote(errPath);
    command = input.empty() ? command + " </dev/null" : "(" + input + ") | " + command;
    DumpResult r;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return r;
    char buf[1 << 15];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.err = ReadWholeFile(errPath);
    unlink(errPath.c_str());
    return r;
}
