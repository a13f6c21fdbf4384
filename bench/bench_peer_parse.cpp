// libreadstat's bare parse of one file (empty handlers), timed: the peer
// figure the command-line benchmark sets beside lorivane-dump.
//   bench_peer_parse FILE
#include <readstat.h>

#include <chrono>
#include <cstdio>

namespace {

int OnVariable(int, readstat_variable_t*, const char*, void*) { return READSTAT_HANDLER_OK; }

int OnValue(int, readstat_variable_t*, readstat_value_t, void* ctx) {
    ++*static_cast<long long*>(ctx);
    return READSTAT_HANDLER_OK;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_peer_parse FILE\n");
        return 2;
    }
    long long cells = 0;
    const auto start = std::chrono::steady_clock::now();
    readstat_parser_t* parser = readstat_parser_init();
    readstat_set_variable_handler(parser, OnVariable);
    readstat_set_value_handler(parser, OnValue);
    const readstat_error_t err = readstat_parse_sav(parser, argv[1], &cells);
    readstat_parser_free(parser);
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (err != READSTAT_OK) {
        std::fprintf(stderr, "readstat: %s\n", readstat_error_message(err));
        return 1;
    }
    std::printf("%.3f s, %lld cells\n", s, cells);
    return 0;
}
