// The viewer's command line: FILE, --help, --version and bad usage.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/state/start_command.h"

namespace {

using lv::ParseStartCommand;
using lv::StartAction;

TEST(StartCommandTest, NoArgumentsAsksForAFile) {
    const lv::StartCommand c = ParseStartCommand({});
    EXPECT_EQ(c.action, StartAction::Run);
    EXPECT_FALSE(c.file.has_value());
}

TEST(StartCommandTest, FileIsMadeAbsoluteAsTheDialogWouldReturnIt) {
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(ParseStartCommand({"/data/a.sav"}).file, "/data/a.sav");
    EXPECT_EQ(ParseStartCommand({"sub/../b.zsav"}).file, cwd + "/b.zsav");
    EXPECT_EQ(ParseStartCommand({"./c.sav"}).file, cwd + "/c.sav");
    // Bytes that are not UTF-8 pass unchanged.
    EXPECT_EQ(ParseStartCommand({"/d/\x83\x65\x83\x58\x83\x67.sav"}).file,
              "/d/\x83\x65\x83\x58\x83\x67.sav");
}

TEST(StartCommandTest, HelpAndVersionWinWhereverTheyStand) {
    EXPECT_EQ(ParseStartCommand({"--help"}).action, StartAction::Help);
    EXPECT_EQ(ParseStartCommand({"a.sav", "--version"}).action, StartAction::Version);
    EXPECT_EQ(ParseStartCommand({"-x", "--help"}).action, StartAction::Help);
    EXPECT_EQ(lv::StartUsageText().rfind("Usage: lorivane [FILE]\n", 0), 0u);
}

TEST(StartCommandTest, DoubleDashMakesEverythingAfterItAFile) {
    const lv::StartCommand c = ParseStartCommand({"--", "/x/--help"});
    EXPECT_EQ(c.action, StartAction::Run);
    EXPECT_EQ(c.file, "/x/--help");
    EXPECT_EQ(ParseStartCommand({"--", "-"}).file, std::filesystem::current_path().string() + "/-");
}

TEST(StartCommandTest, BadUsageSaysWhatIsWrong) {
    const auto error = [](std::vector<std::string> args) {
        const lv::StartCommand c = ParseStartCommand(args);
        EXPECT_EQ(c.action, StartAction::UsageError);
        EXPECT_FALSE(c.file.has_value());
        return c.error;
    };
    EXPECT_EQ(error({"-platform", "offscreen"}), "unknown option '-platform'");
    EXPECT_EQ(error({"a.sav", "--utf8"}), "unknown option '--utf8'");
    EXPECT_EQ(error({"-h"}), "unknown option '-h'");
    EXPECT_EQ(error({"a.sav", "b.sav"}), "only one FILE may be given");
    EXPECT_EQ(error({""}), "empty FILE name");
}

}  // namespace
