// The game started on a damaged settings file: one line naming it, a normal
// run on the defaults, the damaged file left beside a sound new one; and on a
// file edited by hand: read, with its lines kept.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/PrivateSettingsFolder.hpp"
#include "common/TextFiles.hpp"
#include "e2e/CommandRun.hpp"

namespace fs = std::filesystem;

namespace settingsRuns {
// Runs the built game for 40 frames of game time on the settings of `folder`.
CommandOutcome runGameOn(const fs::path& folder) {
    return runCommand("env ALSOFT_DRIVERS=null ./vorlune --fast --no-draw --frames 40 --config '" +
                      folder.string() + "'");
}

int linesWith(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}
} // namespace settingsRuns

using settingsRuns::linesWith;
using settingsRuns::runGameOn;

TEST(SettingsFolder, EachDamagedSettingsFileStartsTheGameWithOneLineAndLeavesTheOriginalBeside) {
    struct Damage {
        const char* name;
        // Makes the damaged settings file at the path.
        void (*make)(const fs::path&);
    };
    const Damage damages[] = {
        {"binary",
         [](const fs::path& file) {
             writeWholeFile(file.string(), std::string("lives = 4\n\x7f\x01\0\x03garbage\n", 22));
         }},
        {"a folder", [](const fs::path& file) { fs::create_directories(file / "inside"); }},
        {"huge", [](const fs::path& file) { writeWholeFile(file.string(), std::string(1u << 20, 'x')); }},
        {"unreadable", [](const fs::path& file) { fs::create_symlink(file, file); }},
    };
    for (const auto& damage : damages) {
        const fs::path folder = PrivateSettingsFolder::root() / damage.name;
        fs::create_directories(folder);
        const fs::path file = folder / "settings.txt";
        damage.make(file);
        const CommandOutcome run = runGameOn(folder);
        EXPECT_EQ(run.status, 0) << damage.name << ": " << run.output;
        EXPECT_EQ(linesWith(run.output, "Settings "), 1) << damage.name << ": " << run.output;
        EXPECT_EQ(linesWith(run.output, "Settings " + file.string() + ": "), 1)
            << damage.name << ": " << run.output;
        EXPECT_TRUE(fs::exists(fs::symlink_status(file.string() + ".damaged"))) << damage.name;
        // A sound new file in its place.
        EXPECT_NE(readWholeFile(file.string()).find("lives = 3\n"), std::string::npos) << damage.name;
        EXPECT_EQ(run.output.find("AddressSanitizer"), std::string::npos) << run.output;
    }
}

// A folder the game cannot write to: one line, and the game plays on.
TEST(SettingsFolder, AnUnwritableSettingsFolderGivesOneLineAndTheGamePlays) {
    const fs::path blocker = PrivateSettingsFolder::root() / "not-a-folder";
    writeWholeFile(blocker.string(), "a file");
    const CommandOutcome run = runGameOn(blocker / "vorlune");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(linesWith(run.output, "Settings "), 1) << run.output;
    EXPECT_EQ(readWholeFile(blocker.string()), "a file");
}

// As printf leaves a file: no line end after the last line. With a line the
// game cannot read: one line naming it by number, nothing moved aside, and
// the person's lines still in the file the game wrote at exit.
TEST(SettingsFolder, AHandWrittenFileIsReadAndItsLinesKept) {
    const fs::path folder = PrivateSettingsFolder::root() / "by-hand";
    fs::create_directories(folder);
    const fs::path file = folder / "settings.txt";
    writeWholeFile(file.string(), "# mine\nnot a setting\nbinding.Player1 Jump = 57 200\nlives = 5");
    const CommandOutcome run = runGameOn(folder);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(linesWith(run.output, "Settings "), 1) << run.output;
    EXPECT_EQ(linesWith(run.output, "Settings " + file.string() + ": line 2 "), 1) << run.output;
    EXPECT_FALSE(fs::exists(fs::symlink_status(file.string() + ".damaged")));
    const std::string written = readWholeFile(file.string());
    EXPECT_EQ(
        written.rfind("# mine\nnot a setting\nbinding.Player1 Jump = Space, pad1.button0\nlives = 5\n", 0),
        0u)
        << written;
}
