#include <gtest/gtest.h>

#include "core/input/PadOwnership.hpp"

namespace {
// Two pads of one model, told apart by their serials only.
const PadIdentity twinOne{"03000000de2800000512000011010000", "A1:B2:C3:00:00:01", "Wireless Pad"};
const PadIdentity twinTwo{"03000000de2800000512000011010000", "A1:B2:C3:00:00:02", "Wireless Pad"};
} // namespace

TEST(PadOwnership, IdenticalPadsWithSerialsReturnedInTheOtherOrderKeepTheirPlayers) {
    PadOwnership ownership;
    EXPECT_EQ(ownership.attach(10, twinOne), -1) << "plugged in, it waits for a press";
    EXPECT_EQ(ownership.claim(10, twinOne), 0);
    EXPECT_EQ(ownership.claim(11, twinTwo), 1);
    EXPECT_EQ(ownership.claim(10, twinOne), 0) << "a press on an owned pad keeps its slot";

    EXPECT_EQ(ownership.detach(10), 0);
    EXPECT_EQ(ownership.detach(11), 1);
    EXPECT_TRUE(ownership.isLost(0) && ownership.isLost(1));
    EXPECT_EQ(ownership.claim(12, {"other", "", "Other Pad"}), -1) << "a lost player's slot is not free";
    // Back with new ids, the second one first.
    EXPECT_EQ(ownership.attach(21, twinTwo), 1);
    EXPECT_EQ(ownership.attach(20, twinOne), 0);
    EXPECT_EQ(ownership.padIn(0), 20);
    EXPECT_EQ(ownership.padIn(1), 21);
}

TEST(PadOwnership, WithoutSerialsTheModelAndNameDecideAndTwinsGoInPlayerOrder) {
    PadOwnership ownership;
    const PadIdentity left{"guid-a", "", "Pad A"};
    const PadIdentity right{"guid-b", "", "Pad B"};
    ownership.claim(1, left);
    ownership.claim(2, right);
    ownership.detach(1);
    ownership.detach(2);
    EXPECT_EQ(ownership.attach(3, right), 1);
    EXPECT_EQ(ownership.attach(4, left), 0);

    // Two of one model without serials cannot be told apart: the first back
    // takes the first lost player.
    PadOwnership twins;
    twins.claim(1, left);
    twins.claim(2, left);
    twins.detach(1);
    twins.detach(2);
    EXPECT_EQ(twins.attach(5, left), 0);
    EXPECT_EQ(twins.attach(6, left), 1);

    // A pad that says nothing of itself matches whichever slot is lost.
    PadOwnership mute;
    mute.claim(1, {});
    mute.detach(1);
    EXPECT_EQ(mute.attach(2, right), 0);
}

TEST(PadOwnership, ReleasedSwappedAndUnclaimableSlots) {
    PadOwnership ownership;
    ownership.setClaimable(0, false);
    EXPECT_EQ(ownership.claim(1, {"g", "", "Pad"}), 1) << "the computer's player is not taken";
    ownership.setClaimable(0, true);
    EXPECT_EQ(ownership.claim(2, {"h", "", "Other"}), 0);
    ownership.swap(0, 1);
    EXPECT_EQ(ownership.padIn(0), 1);
    EXPECT_EQ(ownership.identityOf(1).name, "Other");

    ownership.detach(2);
    EXPECT_EQ(ownership.releaseLost(), std::vector<int>{1});
    EXPECT_TRUE(ownership.isFree(1));
    EXPECT_EQ(ownership.attach(3, {"h", "", "Other"}), -1) << "a released pad comes back as a new one";
    EXPECT_EQ(ownership.claim(3, {"h", "", "Other"}), 1);
}
