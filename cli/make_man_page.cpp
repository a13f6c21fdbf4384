// Writes lorivane-dump(1) to the file named by its argument, at build time.
#include <cstdio>
#include <string>

#include "cli/man_page.h"
#include "core/state/version.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_man_page OUT\n", stderr);
        return 2;
    }
    const std::string page = lv::cli::ManPage(lv::ProgramVersion());
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(page.data(), 1, page.size(), out) == page.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
