#include "core/settings/SettingsFile.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/PrivateSettingsFolder.hpp"
#include "common/TextFiles.hpp"
#include "core/settings/SettingsFolder.hpp"

namespace fs = std::filesystem;

namespace {
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(folder); }

    // Loads the file and returns what was reported on standard error.
    std::string loadPrinting(SettingsFile& settings, bool expectSound) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(settings.load(), expectSound);
        return testing::internal::GetCapturedStderr();
    }

    static int lineCount(const std::string& text) {
        int lines = 0;
        for (const char c : text) {
            lines += c == '\n';
        }
        return lines;
    }

    const fs::path folder = PrivateSettingsFolder::root() / "vorlune";
    const fs::path file = folder / "settings.txt";
};
} // namespace

TEST_F(SettingsFileTest, WrittenSettingsReadBackWithUnknownKeysKeptInTheirPlace) {
    writeWholeFile(file.string(), "# a note\nfuture.key = kept as it is\nlives = 3\n\nvolume.master=40\n");
    SettingsFile settings(file);
    EXPECT_EQ(loadPrinting(settings, true), "");
    EXPECT_EQ(settings.get("future.key"), "kept as it is");
    EXPECT_EQ(settings.get("volume.master"), "40");
    EXPECT_FALSE(settings.isChanged());
    EXPECT_TRUE(settings.save()) << "nothing to write";

    settings.set("lives", "7");
    settings.set("player2", "computer");
    settings.set("bad = key", "x");
    settings.set("multi", "line\nvalue");
    ASSERT_TRUE(settings.save());
    EXPECT_FALSE(fs::exists(file.string() + ".tmp")) << "the temporary file was renamed";

    SettingsFile again(file);
    EXPECT_EQ(loadPrinting(again, true), "");
    ASSERT_EQ(again.getEntries().size(), 4u);
    EXPECT_EQ(again.getEntries()[0], std::make_pair(std::string("future.key"), std::string("kept as it is")));
    EXPECT_EQ(again.get("lives"), "7");
    EXPECT_EQ(again.get("volume.master"), "40");
    EXPECT_EQ(again.get("player2"), "computer");
    EXPECT_FALSE(again.has("bad = key"));
    EXPECT_FALSE(again.has("multi"));
}

// Each kind of file that is no settings file: one line naming the file, the
// file moved aside as it was, and the next save writes a sound file.
TEST_F(SettingsFileTest, DamagedFilesAreReportedOnceAndMovedAsideNeverOverwritten) {
    struct Damage {
        const char* name;
        std::string text;
        const char* says;
    };
    const Damage damages[] = {
        {"a picture", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0lives = 5\n", 30), "is not text"},
        {"control bytes", "lives = 5\n\x01\x02\x03\x04\x05\x06\x07\x08\n", "is not text"},
        {"huge", std::string(SettingsFile::maxFileBytes + 1, '#'), "bytes, far more"},
    };
    for (const auto& damage : damages) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        writeWholeFile(file.string(), damage.text);
        SettingsFile settings(file);
        const std::string printed = loadPrinting(settings, false);
        EXPECT_EQ(lineCount(printed), 1) << damage.name << ": " << printed;
        EXPECT_NE(printed.find("Settings " + file.string() + ": "), std::string::npos) << printed;
        EXPECT_NE(printed.find(damage.says), std::string::npos) << damage.name << ": " << printed;
        EXPECT_EQ(readWholeFile(file.string() + ".damaged"), damage.text) << damage.name;
        EXPECT_FALSE(settings.has("lives")) << damage.name;
        ASSERT_TRUE(settings.save()) << damage.name;
        SettingsFile rewritten(file);
        EXPECT_EQ(loadPrinting(rewritten, true), "") << damage.name;
    }

    // A folder in the file's place, and a file that cannot be read (a link
    // to itself; permissions mean nothing to a test run as root), with an
    // earlier damaged copy already beside them: nothing is overwritten.
    fs::remove_all(folder);
    fs::create_directories(file);
    writeWholeFile((file / "inside.txt").string(), "mine");
    writeWholeFile(file.string() + ".damaged", "older");
    SettingsFile folderInPlace(file);
    std::string printed = loadPrinting(folderInPlace, false);
    EXPECT_EQ(lineCount(printed), 1) << printed;
    EXPECT_NE(printed.find("a folder stands where the file should be"), std::string::npos) << printed;
    EXPECT_EQ(readWholeFile(file.string() + ".damaged"), "older");
    EXPECT_EQ(readWholeFile((fs::path(file.string() + ".damaged-2") / "inside.txt").string()), "mine");

    fs::create_symlink(file, file);
    SettingsFile unreadable(file);
    printed = loadPrinting(unreadable, false);
    EXPECT_EQ(lineCount(printed), 1) << printed;
    EXPECT_NE(printed.find("cannot be read"), std::string::npos) << printed;
    EXPECT_TRUE(fs::is_symlink(file.string() + ".damaged-3"));
    EXPECT_TRUE(unreadable.saveNow());
}

// A file a person edited: a byte-order mark, Windows line ends, spacing and
// case of their own, notes, a line that is no setting, a key set twice and a
// last line without its line end. Everything readable is read, each bad line
// is reported once by number, and a write changes only the changed value.
TEST_F(SettingsFileTest, AHandEditedFileIsReadAndWrittenBackLineForLine) {
    const std::string edited = "\xEF\xBB\xBF# my settings\r\n"
                               "  Lives=5\t# five is fun\r\n"
                               "volume.master = 40\r\n"
                               "just words\r\n"
                               "\r\n"
                               "future.key = kept # as written\r\n"
                               "lives = 9\r\n"
                               "player2 =   computer";
    writeWholeFile(file.string(), edited);
    SettingsFile settings(file);
    const std::string printed = loadPrinting(settings, true);
    EXPECT_EQ(lineCount(printed), 2) << printed;
    EXPECT_NE(printed.find("Settings " + file.string() + ": line 4 is not \"key = value\"; it is ignored"),
              std::string::npos)
        << printed;
    EXPECT_NE(printed.find("line 7 sets lives again"), std::string::npos) << printed;
    EXPECT_EQ(settings.get("lives"), "5");
    EXPECT_EQ(settings.get("LIVES"), "5") << "keys are read whatever their case";
    EXPECT_EQ(settings.get("future.key"), "kept");
    EXPECT_EQ(settings.get("player2"), "computer") << "the last line, without its line end";
    EXPECT_FALSE(fs::exists(file.string() + ".damaged"));
    EXPECT_FALSE(settings.isChanged());

    settings.set("lives", "7");
    settings.set("rumble", "off");
    settings.set("note", "a # b");
    ASSERT_TRUE(settings.save());
    EXPECT_EQ(readWholeFile(file.string()), "\xEF\xBB\xBF# my settings\r\n"
                                            "  Lives=7\t# five is fun\r\n"
                                            "volume.master = 40\r\n"
                                            "just words\r\n"
                                            "\r\n"
                                            "future.key = kept # as written\r\n"
                                            "lives = 9\r\n"
                                            "player2 =   computer\r\n"
                                            "rumble = off\r\n");

    // The bad lines are still there, so they are reported again, still by number.
    SettingsFile again(file);
    EXPECT_EQ(lineCount(loadPrinting(again, true)), 2);
    EXPECT_EQ(again.get("lives"), "7");
    EXPECT_EQ(again.get("rumble"), "off");

    // Many bad lines: the first few by number, the rest in one line.
    std::string many = "lives = 4\n";
    for (int i = 0; i < SettingsFile::reportedLines + 3; ++i) {
        many += "not a setting\n";
    }
    writeWholeFile(file.string(), many);
    SettingsFile crowded(file);
    const std::string crowdedReport = loadPrinting(crowded, true);
    EXPECT_EQ(lineCount(crowdedReport), SettingsFile::reportedLines + 1) << crowdedReport;
    EXPECT_NE(crowdedReport.find("3 more lines cannot be read"), std::string::npos) << crowdedReport;
    EXPECT_EQ(crowded.get("lives"), "4");
}

TEST_F(SettingsFileTest, AFolderThatCannotBeWrittenIsReportedOnceAndTheValuesStay) {
    // A file where the settings folder should be: nothing can be made under it.
    writeWholeFile((PrivateSettingsFolder::root() / "blocked").string(), "a file");
    SettingsFile settings(PrivateSettingsFolder::root() / "blocked" / "vorlune" / "settings.txt");
    testing::internal::CaptureStderr();
    settings.load();
    settings.set("lives", "4");
    EXPECT_FALSE(settings.save());
    settings.set("lives", "5");
    EXPECT_FALSE(settings.save());
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lineCount(printed), 1) << printed;
    EXPECT_EQ(settings.get("lives"), "5");
    EXPECT_EQ(readWholeFile((PrivateSettingsFolder::root() / "blocked").string()), "a file");
}

TEST(SettingsFolder, CommandLineThenConfigHomeThenHome) {
    EXPECT_EQ(settingsFolder("/tmp/mine", "/xdg", "/home/u"), fs::path("/tmp/mine"));
    EXPECT_EQ(settingsFolder("", "/xdg", "/home/u"), fs::path("/xdg/vorlune"));
    EXPECT_EQ(settingsFolder("", "relative", "/home/u"), fs::path("/home/u/.config/vorlune"));
    EXPECT_EQ(settingsFolder("", nullptr, "/home/u"), fs::path("/home/u/.config/vorlune"));
    EXPECT_EQ(settingsFolder("", nullptr, nullptr), fs::path());
}
