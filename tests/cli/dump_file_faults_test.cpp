// The tool under file-system faults: output that cannot be written, an
// input that is no regular file, and an input changed under a running pass.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dump_support.h"
#include "tests/support/savfixture.h"

namespace {

const std::string kDump = std::string(LORIVANE_BINARY_DIR) + "/cli/lorivane-dump";
const std::string kChanged =
    "lorivane-dump: the data file was changed or deleted after it was read; cannot go on\n";

// Exit status of a shell command line (-1 when it did not exit normally).
int Shell(const std::string& line) {
    const int raw = std::system(line.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// 50000 cases of 20 numbers printed 40 columns wide: the grid's text is
// five times the file's bytes, so a reader of its output holds the tool
// back long before the tool has read half the file.
std::string WriteWideNumbers(const std::string& path) {
    fixture::File f;
    f.compression = fixture::Compression::None;
    for (int v = 0; v < 20; ++v) {
        char name[8];
        std::snprintf(name, sizeof name, "V%d", v);
        f.variables.push_back(fixture::Numeric(name, fixture::Format{5, 40, 2}));
    }
    for (int r = 0; r < 50000; ++r) f.cases.push_back(fixture::Case(20, fixture::Value(r + 0.5)));
    return fixture::WriteFile(f, path);
}

// Runs `grid FILE`, reads its first line, lets change() act on the file
// while the tool waits for its output to be read, then reads the rest.
DumpResult GridWhileFileChanges(const std::string& path, const std::string& errPath,
                                void (*change)(const std::string&)) {
    DumpResult r;
    FILE* p = popen(("'" + kDump + "' grid '" + path + "' 2>'" + errPath + "'").c_str(), "r");
    if (!p) return r;
    char buf[1 << 15];
    if (!fgets(buf, sizeof buf, p)) return r;
    change(path);
    while (fread(buf, 1, sizeof buf, p) > 0) {
    }
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.err = ReadWholeFile(errPath);
    return r;
}

TEST(DumpFileFaults, AFileCutOrRewrittenUnderAStreamingPassFailsWithoutASignal) {
    const std::string dir = fixture::TempDir();
    const std::string path = WriteWideNumbers(dir + "/wide.sav");
    DumpResult r = GridWhileFileChanges(path, dir + "/err1", [](const std::string& p) {
        struct stat st {};
        stat(p.c_str(), &st);
        truncate(p.c_str(), st.st_size / 2);
    });
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(kChanged), std::string::npos) << r.err;

    WriteWideNumbers(path);
    r = GridWhileFileChanges(path, dir + "/err2", [](const std::string& p) {
        // Other bytes in place, with a modification time of their own.
        const int fd = open(p.c_str(), O_WRONLY);
        const std::string zeros(1 << 20, '\0');
        pwrite(fd, zeros.data(), zeros.size(), 4 << 20);
        const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
        futimens(fd, times);
        close(fd);
    });
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(kChanged), std::string::npos) << r.err;
}

TEST(DumpFileFaults, OutputThatCannotBeWrittenFailsWithOneLine) {
    const std::string dir = fixture::TempDir();
    const std::string path = fixture::WriteFile(fixture::SampleFile(), dir + "/s.sav");
    const std::string err = dir + "/err";
    for (const std::string& args : {"meta --json " + path, "dict --json " + path, "vars " + path,
                                    "grid " + path, "summary " + path, std::string("--help")}) {
        EXPECT_EQ(Shell("'" + kDump + "' " + args + " >/dev/full 2>'" + err + "'"), 1) << args;
        const std::string message = ReadWholeFile(err);
        EXPECT_NE(message.find("standard output"), std::string::npos) << args << ": " << message;
    }
    const DumpResult r = RunDump({"export", path, "/dev/full", "--displayed"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "lorivane-dump: the disk is full\n");
}

TEST(DumpFileFaults, AFifoIsRefusedWithoutWaitingForAWriter) {
    const std::string dir = fixture::TempDir();
    const std::string fifo = dir + "/pipe.sav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const char* cmd : {"vars", "grid", "summary"}) {
        // timeout ends a tool that waits (status 124).
        const std::string err = dir + "/err";
        EXPECT_EQ(Shell("timeout 20 '" + kDump + "' " + cmd + " '" + fifo + "' >/dev/null 2>'" +
                        err + "'"),
                  1)
            << cmd;
        EXPECT_NE(ReadWholeFile(err).find("not a regular file"), std::string::npos) << cmd;
    }
}

}  // namespace
