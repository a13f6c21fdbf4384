// libreadstat's bare parse of one file (empty handlers), timed: the peer
// figure the command-line benchmark sets beside lorivane-dump.
//   bench_peer_parse FILE
#include <cstdio>

#include "bench/support/bench_runs.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_peer_parse FILE\n");
        return 2;
    }
    long long cells = 0;
    const auto start = bench::Clock::now();
    const readstat_error_t err = bench::PeerParse(argv[1], &cells);
    const double s = bench::Seconds(start);
    if (err != READSTAT_OK) {
        std::fprintf(stderr, "readstat: %s\n", readstat_error_message(err));
        return 1;
    }
    std::printf("%.3f s, %lld cells\n", s, cells);
    return 0;
}
