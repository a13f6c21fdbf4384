// What the benchmarks share beside their files: wall time, memory, a
// program measured from outside in a child, and the two full reads they set
// side by side (ours through the spss... calls, libreadstat's bare parse).
#pragma once

#include <readstat.h>

#include <chrono>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since);

// A field of /proc/self/status (or of process pid's) in kB: "VmRSS:"
// (resident memory now) or "VmHWM:" (its peak so far).
long StatusKb(const char* field, int pid = 0);

struct Measure {
    double seconds = 0;
    double peakMb = 0;
    int status = -1;  // the exit status, -1 when killed by a signal
    std::string out;  // its standard output, lines joined by blanks
};

// Runs args in a child, its standard output kept unless keepOut is false
// (then /dev/null); wall time from the parent, peak RSS from wait4. That
// peak also counts what this process held when it forked (Linux keeps the
// high-water mark across exec): a child that measures itself prints its
// own VmHWM.
Measure Spawn(std::vector<std::string> args, bool keepOut = true);

// The fastest of runs spawns of args (the first when all fail alike).
Measure BestOf(const std::vector<std::string>& args, int runs = 3, bool keepOut = false);

// Reads every case of the open file h and every value of it through the
// value calls, as the grid load does; returns the cells read.
long long ReadEveryValue(int h);

// libreadstat's bare parse of path (a variable handler beside the value
// handler, both empty); *cells counts the values it saw.
readstat_error_t PeerParse(const std::string& path, long long* cells);

}  // namespace bench
