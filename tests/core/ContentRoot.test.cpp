#include "core/ContentRoot.hpp"

#include <filesystem>

#include <gtest/gtest.h>

#include "common/MediaFixtures.hpp"

namespace {
// A machine with the game built in one tree and installed in another.
struct Machine {
    Machine() {
        files.writeText("src/assets/gui/Menu.txt", "page");
        files.writeText("prefix/share/vorlune/assets/gui/Menu.txt", "page");
        std::filesystem::create_directories(files.path("src/build"));
        std::filesystem::create_directories(files.path("prefix/bin"));
        std::filesystem::create_directories(files.path("empty/assets"));
        std::filesystem::create_directories(files.path("empty/bin"));
    }
    ContentSearch find(const std::string& executable, const char* override) const {
        return findContentRoot(executable, override, "../share/vorlune/assets", "gui/Menu.txt");
    }
    TempDirectory files;
};
} // namespace

TEST(ContentRoot, FoundBesideTheBuiltOrInstalledExecutableOrWhereTheVariablePoints) {
    Machine machine;
    const TempDirectory& files = machine.files;
    const ScopedWorkingDirectory elsewhere(files.path("empty"));

    // The build tree: content beside the build folder.
    EXPECT_EQ(machine.find(files.path("src/build/vorlune"), nullptr).root, files.path("src/assets"));
    // Installed: the data folder relative to the executable.
    EXPECT_EQ(machine.find(files.path("prefix/bin/vorlune"), nullptr).root,
              files.path("prefix/share/vorlune/assets"));
    // The variable decides alone: the content folder, or the one holding it.
    EXPECT_EQ(machine.find(files.path("prefix/bin/vorlune"), files.path("src/assets").c_str()).root,
              files.path("src/assets"));
    EXPECT_EQ(machine.find(files.path("prefix/bin/vorlune"), (files.path("src") + "/").c_str()).root,
              files.path("src/assets"));
    // A folder it names is taken as it is, marker or not; one that does not
    // exist is not replaced by the executable's own.
    EXPECT_EQ(machine.find(files.path("prefix/bin/vorlune"), files.path("empty/assets").c_str()).root,
              files.path("empty/assets"));
    const ContentSearch missing = machine.find(files.path("prefix/bin/vorlune"), files.path("gone").c_str());
    EXPECT_TRUE(missing.root.empty());
    EXPECT_EQ(missing.looked, (std::vector<std::string>{files.path("gone/assets"), files.path("gone")}));

    // Without it, a folder without the marker does not count; every place
    // is tried once, in order (the working directory's "../assets" is the
    // executable's here).
    const ContentSearch nothing = machine.find(files.path("empty/bin/vorlune"), nullptr);
    EXPECT_TRUE(nothing.root.empty());
    EXPECT_EQ(nothing.looked,
              (std::vector<std::string>{files.path("empty/assets"), files.path("empty/share/vorlune/assets"),
                                        files.path("assets")}));
}

TEST(ContentRoot, ContentPathsAreReadFromTheRootAndOtherPathsStayAsWritten) {
    EXPECT_EQ(contentPath("..\\assets\\gui\\Menu.txt"), "../assets/gui/Menu.txt");
    setContentRoot("/opt/game/assets/");
    EXPECT_EQ(contentRoot(), "/opt/game/assets");
    EXPECT_EQ(contentPath("../assets/tilemap/zefMap.tmx"), "/opt/game/assets/tilemap/zefMap.tmx");
    EXPECT_EQ(contentPath("..\\assets\\sfx\\Jump 1.wav"), "/opt/game/assets/sfx/Jump 1.wav");
    // Files named relative to a map keep their steps; the file system resolves them.
    EXPECT_EQ(contentPath("../assets/tilemap/../PNG/x.png"), "/opt/game/assets/tilemap/../PNG/x.png");
    EXPECT_EQ(contentPath("recording.txt"), "recording.txt");
    EXPECT_EQ(contentPath("/tmp/../assets/x.png"), "/tmp/../assets/x.png");
    EXPECT_EQ(contentPath("../assetsx/y.png"), "../assetsx/y.png");
    setContentRoot("");
    EXPECT_EQ(contentPath("../assets/gui/Menu.txt"), "../assets/gui/Menu.txt");
}
