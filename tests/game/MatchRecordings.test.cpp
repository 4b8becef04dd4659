// Where local matches are recorded: a private folder of the run's own that
// keeps only the last match's file and goes with the run, and the start line
// a replay reads the match's rules and players back from.
#include <filesystem>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include "game/MatchRecordings.hpp"

TEST(MatchRecordings, ThePrivateFolderKeepsTheLastCompleteMatchOnlyAndGoesWithTheRun) {
    namespace fs = std::filesystem;
    auto recordings = std::make_unique<MatchRecordings>();
    const fs::path first = recordings->next();
    ASSERT_FALSE(first.empty());
    std::ofstream(first) << "first match";
    const fs::path folder = first.parent_path();
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(recordings->watchable(), "") << "a match still on cannot be watched";
    recordings->finished();
    EXPECT_EQ(recordings->watchable(), first.string());

    // The next match takes the last one's place, and is watchable only once it ended.
    const fs::path second = recordings->next();
    EXPECT_NE(second, first);
    EXPECT_EQ(second.parent_path(), folder);
    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(recordings->watchable(), "");
    std::ofstream(second) << "second match";
    recordings->forget();
    EXPECT_FALSE(fs::exists(second));

    recordings->next();
    recordings.reset();
    EXPECT_FALSE(fs::exists(folder));
}

TEST(MatchRecordings, TheStartLineCarriesTheRulesAndPlayersAndNothingElseReadsAsOne) {
    PlayerSetup played;
    played.livesPerMatch = 5;
    played.matchArena = "spires";
    played.setComputer(2, true);
    const std::string line = localMatchStart(played);
    EXPECT_EQ(line, "local lives=5 arena=spires players=pc");

    PlayerSetup read;
    ASSERT_TRUE(readLocalMatchStart(line, read));
    EXPECT_EQ(read.livesPerMatch, 5);
    EXPECT_EQ(read.matchArena, "spires");
    EXPECT_FALSE(read.isComputer(1));
    EXPECT_TRUE(read.isComputer(2));

    for (const char* other :
         {"online lives=3 arena=isles", "local lives=3 arena=isles", "local lives=3 arena=random players=pp",
          "local lives=3 arena=moon players=pp", "local lives=12 arena=isles players=pp",
          "local lives=3 arena=isles players=p", "local lives=3 arena=isles players=pcx"}) {
        PlayerSetup untouched;
        EXPECT_FALSE(readLocalMatchStart(other, untouched)) << other;
        EXPECT_EQ(untouched.livesPerMatch, PlayerSetup::defaultLives) << other;
    }
}
