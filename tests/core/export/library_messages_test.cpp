// A quiet thread's writes to stdio's stderr are dropped; another thread's,
// written at the same time, and the quiet thread's own once it is done,
// reach the terminal.
#include "core/export/library_messages.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/savfixture.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[256];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

}  // namespace

TEST(QuietLibrary, DropsOnlyTheQuietThreadsMessages) {
    const std::string path = fixture::TempDir() + "/stderr.txt";
    std::fflush(stderr);
    const int saved = dup(2);
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(file, 0);
    dup2(file, 2);
    close(file);
    {
        const lv::QuietLibrary quiet;
        std::fprintf(stderr, "[ERROR] from the library\n");
        std::thread other([] { std::fprintf(stderr, "another thread\n"); });
        other.join();
    }
    std::fprintf(stderr, "after\n");
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    EXPECT_EQ(ReadAll(path), "another thread\nafter\n");
}
