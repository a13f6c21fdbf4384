// The one output-file model: the name is given only to a whole file, also
// when the program is ended by a signal, when the name is long, and when
// the disk fills up.
#include "core/export/output_file.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/export/text_file.h"
#include "core/state/errors.h"

namespace fs = std::filesystem;

namespace {

class OutputFileTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/lorivane-output-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        lv::AllowUnnamedTemporaries(GetParam());
    }
    void TearDown() override {
        lv::AllowUnnamedTemporaries(true);
        fs::remove_all(dir_);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Runs body in a child process; its exit status or signal.
    template <typename Body>
    static int InChild(Body body) {
        const pid_t pid = fork();
        if (pid == 0) {
            body();
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    }
    std::string dir_;
};

INSTANTIATE_TEST_SUITE_P(Temporaries, OutputFileTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Unnamed" : "Named"; });

TEST_P(OutputFileTest, OnlyACommittedFileTakesTheNameWhateverItsLength) {
    const std::string longName = dir_ + "/" + std::string(246, 'n') + ".csv";  // 250 bytes
    {
        lv::OutputFile out(longName);
        out.Write("abc");
        out.WriteNow("def");
        EXPECT_TRUE(Names().empty() || !GetParam());
        out.Commit();
    }
    EXPECT_EQ(Contents(longName), "abcdef");
    // An existing file keeps its permissions when replaced; a link to it stays
    // a link; an abandoned write leaves everything as it was.
    ASSERT_EQ(chmod(longName.c_str(), 0640), 0);
    fs::create_symlink(longName, dir_ + "/link");
    {
        lv::OutputFile out(dir_ + "/link");
        out.Write("new");
        out.Commit();
    }
    EXPECT_TRUE(fs::is_symlink(dir_ + "/link"));
    EXPECT_EQ(Contents(longName), "new");
    EXPECT_EQ(fs::status(longName).permissions(), fs::perms(0640));
    {
        lv::OutputFile out(longName);
        out.Write(std::string(3 << 20, 'x'));
    }
    EXPECT_EQ(Contents(longName), "new");
    EXPECT_EQ(Names().size(), 2u);
}

TEST_P(OutputFileTest, ASignalThatEndsTheProgramLeavesNoTemporaryFile) {
    std::ofstream(dir_ + "/out.csv") << "kept";
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
        // Without unnamed files only the handler can remove the file, and
        // nothing can for SIGKILL.
        if (sig == SIGKILL && !GetParam()) continue;
        const int status = InChild([&] {
            lv::OutputFile out(dir_ + "/out.csv");
            out.Write(std::string(5 << 20, 'x'));
            raise(sig);
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << sig;
        EXPECT_EQ(WTERMSIG(status), sig);
        EXPECT_EQ(Names(), std::vector<std::string>{"out.csv"}) << sig;
        EXPECT_EQ(Contents(dir_ + "/out.csv"), "kept");
    }
}

// A file the user may write in a folder closed to new files is written in
// place: the only way left to honour the choice.
TEST_P(OutputFileTest, AWritableFileInAClosedFolderIsWrittenInPlace) {
    const std::string folder = dir_ + "/closed", path = folder + "/out.txt";
    fs::create_directory(folder);
    std::ofstream(path) << "earlier and longer";
    const bool root = geteuid() == 0;
    if (root ? std::system(("chattr +i '" + folder + "' 2>/dev/null").c_str()) != 0
             : chmod(folder.c_str(), 0555) != 0)
        GTEST_SKIP() << "no way to close a folder here";
    {
        lv::OutputFile out(path);
        out.Write("new");
        out.Commit();
    }
    if (root)
        (void)std::system(("chattr -i '" + folder + "'").c_str());
    else
        chmod(folder.c_str(), 0755);
    EXPECT_EQ(Contents(path), "new");
}

// A private 64 KiB filesystem (root only): a write that does not fit fails
// as a full disk in both wordings and leaves the earlier file as it was.
TEST_P(OutputFileTest, AFullFilesystemFailsAndLeavesTheEarlierFile) {
    if (geteuid() != 0) GTEST_SKIP() << "a private tmpfs needs root";
    const int status = InChild([&] {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
            mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=64k") != 0)
            _exit(77);
        std::ofstream(dir_ + "/out.txt") << "kept";
        const std::string big(200 << 10, 'x');
        int failures = 0;
        try {
            lv::OutputFile out(dir_ + "/out.txt");
            out.Write(big);
            out.Commit();
        } catch (const lv::ExportError& e) {
            failures += e.message.code == lv::MessageCode::OutputDiskFull;
        }
        try {
            lv::TextFileWriter out;
            out.Create(dir_ + "/out.txt");
            out.Write(big);
            out.Close();
        } catch (const lv::InOutError& e) {
            failures += e.code == lv::kInOutDiskFull;
        }
        const bool clean =
            Names() == std::vector<std::string>{"out.txt"} && Contents(dir_ + "/out.txt") == "kept";
        _exit(failures == 2 && clean ? 0 : 1);
    });
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no private mount here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
