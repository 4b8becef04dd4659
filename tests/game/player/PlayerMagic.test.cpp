#include <gtest/gtest.h>

#include "PlayerArena.hpp"
#include "physics/WeldJointComponent.hpp"
#include "render/ParticleSystemComponent.hpp"

namespace {
bool allTagged(const std::vector<std::shared_ptr<BeardSegmentComponent>>& segments, bool tagged) {
    for (const auto& segment : segments) {
        if (segment->getGameObject()->hasTag("Attack") != tagged) {
            return false;
        }
    }
    return !segments.empty();
}
} // namespace

// Two magic uses in the air; each release flings the beard, tagging every
// segment "Attack" for 0.3 s; a third press in the air does nothing; the
// ground refills both charges.
TEST_F(PlayerArenaTest, TwoMagicUsesInTheAirFlingTheBeardAndTheGroundRefillsThem) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    frames(10);
    growTo(*player1, 8);
    frames(60);
    ASSERT_TRUE(player1->isGrounded());

    hold(sf::Keyboard::Space);
    frames(2);
    hold(sf::Keyboard::Space, false);
    ASSERT_TRUE(runUntil([&] { return !player1->isGrounded(); }, 10));

    hold(sf::Keyboard::G);
    frames(2);
    EXPECT_TRUE(player1->state().magicActive);
    EXPECT_EQ(player1->state().magicCharges, 1);
    frames(3);
    EXPECT_TRUE(player1->beard().firstSegment()->trailParticles->emitting);
    hold(sf::Keyboard::G, false);
    frames(2);
    EXPECT_FALSE(player1->state().magicActive);
    EXPECT_TRUE(allTagged(chain(*player1), true));
    EXPECT_FALSE(player1->beard().firstSegment()->trailParticles->emitting);
    frames(15);
    EXPECT_TRUE(allTagged(chain(*player1), true));
    frames(3);
    EXPECT_TRUE(allTagged(chain(*player1), false)) << "the attack window lasts 0.3 s";

    hold(sf::Keyboard::G);
    frames(2);
    EXPECT_TRUE(player1->state().magicActive);
    EXPECT_EQ(player1->state().magicCharges, 0);
    hold(sf::Keyboard::G, false);
    frames(2);
    hold(sf::Keyboard::G);
    frames(3);
    EXPECT_FALSE(player1->state().magicActive) << "no charge left in the air";
    EXPECT_FALSE(player1->isGrounded());
    hold(sf::Keyboard::G, false);

    ASSERT_TRUE(runUntil([&] { return player1->isGrounded(); }, 240));
    frame();
    EXPECT_EQ(player1->state().magicCharges, 2);
}

// A fling up into the ceiling grabs it; while the tip holds a platform magic
// starts without a charge and steers the player (swinging); after 5 s the
// beard lets go by itself.
TEST_F(PlayerArenaTest, GrabsAPlatformSwingsAndLetsGoAfterFiveSeconds) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    frames(10);
    growTo(*player1, 14);
    frames(60);

    // Float the beard, steer the tip up, then fling it up.
    hold(sf::Keyboard::G);
    hold(sf::Keyboard::W);
    frames(40);
    // Flung up and sideways, so the tip still slides fast along the ceiling when it strikes it.
    hold(sf::Keyboard::D);
    hold(sf::Keyboard::G, false);
    ASSERT_TRUE(runUntil([&] { return player1->state().holding; }, 30));
    hold(sf::Keyboard::W, false);
    hold(sf::Keyboard::D, false);
    EXPECT_TRUE(player1->state().holdingPlatform);
    EXPECT_TRUE(player1->beard().grabJoint() != nullptr);
    ASSERT_TRUE(player1->beard().grabJoint()->connectedObject.lock());
    EXPECT_EQ(player1->beard().grabJoint()->connectedObject.lock()->name, "Ceiling");

    frames(30);
    // Spent, and kept from the ground's refill.
    PlayerState spent = player1->state();
    spent.magicCharges = 0;
    spent.groundCheckEnabled = false;
    player1->restoreState(spent);
    hold(sf::Keyboard::G);
    frames(2);
    EXPECT_TRUE(player1->state().magicActive) << "a held platform gives magic without a charge";
    hold(sf::Keyboard::D);
    fixedPart();
    const float swingBase = velocityOf(*player1).x;
    updatePart();
    fixedPart();
    EXPECT_GT(velocityOf(*player1).x, 0.0f);
    EXPECT_GT(velocityOf(*player1).x, swingBase - 0.01f);
    updatePart();
    hold(sf::Keyboard::D, false);

    // Held for 5 s in all: it lets go.
    ASSERT_TRUE(runUntil([&] { return !player1->state().holding; }, 5 * 60));
    EXPECT_GE(player1->state().holdTimer, 5.0f);
    EXPECT_FALSE(player1->state().magicActive);
    EXPECT_FALSE(player1->state().skipTagClear) << "no window runs that would end a block on grabbing";
    hold(sf::Keyboard::G, false);
    frames(2);
    EXPECT_TRUE(allTagged(chain(*player1), false));

    // The next fling arms the beard for its own window only, as every fling.
    PlayerState oneLeft = player1->state();
    oneLeft.magicCharges = 1;
    player1->restoreState(oneLeft);
    hold(sf::Keyboard::G);
    frames(3);
    hold(sf::Keyboard::G, false);
    frames(2);
    EXPECT_TRUE(allTagged(chain(*player1), true));
    frames(20);
    EXPECT_TRUE(allTagged(chain(*player1), false)) << "the beard stays armed after its window";
}

// A slow machine draws ten frames a second and catches up with six fixed
// steps per frame. The floating beard then lifts as gently as at sixty frames:
// a grounded player steering it up stays on the ground, and the fling that
// follows throws the beard, not the player.
TEST_F(PlayerArenaTest, AtTenFramesASecondMagicStillLeavesTheGroundedPlayerStanding) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    growTo(*player1, 20);
    frames(60);
    const sf::Vector2f standing = positionOf(*player1);

    FrameTimes times;
    loop.frameInterval = 1000.0f;
    const auto slowFrames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            loop.runFrame(times, [] { return 6.0f / 60.0f + 1e-4f; });
            EXPECT_NEAR(positionOf(*player1).y, standing.y, 3.0f) << "frame " << i;
        }
    };
    hold(sf::Keyboard::G);
    slowFrames(6);
    ASSERT_TRUE(player1->state().magicActive);
    hold(sf::Keyboard::D);
    hold(sf::Keyboard::W);
    slowFrames(10);
    // The beard floats up and out over the player.
    EXPECT_LT(player1->beard().lastSegment()->getGameObject()->transform->getPosition().y,
              standing.y - 100.0f);
    hold(sf::Keyboard::D, false);
    hold(sf::Keyboard::W, false);
    hold(sf::Keyboard::G, false);
    slowFrames(20);
    EXPECT_FALSE(player1->state().magicActive);
    EXPECT_EQ(player1->state().lives, 3);
}
