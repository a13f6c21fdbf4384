#include "bench/support/bench_runs.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "savio/spssfio.h"

namespace bench {
namespace {

int OnVariable(int, readstat_variable_t*, const char*, void*) {
    return READSTAT_HANDLER_OK;
}

int OnValue(int, readstat_variable_t*, readstat_value_t, void* ctx) {
    ++*static_cast<long long*>(ctx);
    return READSTAT_HANDLER_OK;
}

}  // namespace

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

long StatusKb(const char* field, int pid) {
    std::ifstream in(pid ? "/proc/" + std::to_string(pid) + "/status" : "/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    return 0;
}

Measure Spawn(std::vector<std::string> args, bool keepOut) {
    int pipefd[2];
    if (pipe(pipefd) != 0) return {};
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (keepOut) {
            dup2(pipefd[1], 1);
        } else {
            FILE* null = std::fopen("/dev/null", "w");
            dup2(fileno(null), 1);
        }
        close(pipefd[0]);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipefd[1]);
    Measure m;
    char buf[4096];
    ssize_t n;
    while ((n = read(pipefd[0], buf, sizeof buf)) > 0) m.out.append(buf, size_t(n));
    close(pipefd[0]);
    int status = 0;
    struct rusage ru {};
    wait4(pid, &status, 0, &ru);
    m.seconds = Seconds(start);
    m.peakMb = ru.ru_maxrss / 1e3;
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    while (!m.out.empty() && m.out.back() == '\n') m.out.pop_back();
    for (char& c : m.out)
        if (c == '\n') c = ' ';
    return m;
}

Measure BestOf(const std::vector<std::string>& args, int runs, bool keepOut) {
    Measure best;
    for (int i = 0; i < runs; ++i) {
        Measure m = Spawn(args, keepOut);
        if (i == 0 || m.seconds < best.seconds) best = m;
    }
    return best;
}

long long ReadEveryValue(int h) {
    int n = 0;
    spssGetNumberofVariables(h, &n);
    std::vector<double> handles(static_cast<size_t>(n));
    std::vector<int> types(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        char name[10];
        spssGetVarInfo(h, i, name, &types[i]);
        spssGetVarHandle(h, name, &handles[i]);
    }
    static char text[32768];
    double sum = 0;
    long long cells = 0;
    while (spssReadCaseRecord(h) == 0) {
        for (int i = 0; i < n; ++i) {
            if (types[i]) {
                spssGetValueChar(h, handles[i], text, sizeof text);
                sum += text[0];
            } else {
                double v;
                spssGetValueNumeric(h, handles[i], &v);
                sum += v;
            }
        }
        cells += n;
    }
    if (sum == 1.2345) std::puts("");  // keeps the reads
    return cells;
}

readstat_error_t PeerParse(const std::string& path, long long* cells) {
    *cells = 0;
    readstat_parser_t* parser = readstat_parser_init();
    readstat_set_variable_handler(parser, OnVariable);
    readstat_set_value_handler(parser, OnValue);
    const readstat_error_t err = readstat_parse_sav(parser, path.c_str(), cells);
    readstat_parser_free(parser);
    return err;
}

}  // namespace bench
