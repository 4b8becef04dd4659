#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game/online/OnlineRecordings.hpp"

TEST(OnlineRecordings, EveryMatchOfASessionHasANameOfItsOwnBesideTheChosenFile) {
    // The chosen file is the first match's; a rematch numbers its own beside it.
    EXPECT_EQ(onlineRecordings::chosenFor("runs/host.replay", 1), "runs/host.replay");
    EXPECT_EQ(onlineRecordings::chosenFor("runs/host.replay", 2), "runs/host-2.replay");
    EXPECT_EQ(onlineRecordings::chosenFor("runs/host.replay", 12), "runs/host-12.replay");
    EXPECT_EQ(onlineRecordings::chosenFor("match", 3), "match-3");

    std::set<std::string> names;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        names.insert(onlineRecordings::inFolder("/tmp", "host", attempt));
        names.insert(onlineRecordings::inFolder("/tmp", "guest", attempt));
    }
    EXPECT_EQ(names.size(), 6u);
    EXPECT_EQ(onlineRecordings::inFolder("/tmp", "guest", 2), "/tmp/vorlune-online-guest-2.replay");
}
