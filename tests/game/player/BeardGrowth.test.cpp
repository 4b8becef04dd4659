#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "PlayerArena.hpp"
#include "render/PolygonRendererComponent.hpp"

namespace {
constexpr float segmentSize = 20.0f;

float distance(sf::Vector2f a, sf::Vector2f b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}
} // namespace

// A player on a small ledge over the void grows a full beard that hangs down:
// it stops at 80 segments, its links stay within their travel (two segment
// sizes) and its weight does not pull the player off the ledge.
TEST_F(PlayerArenaTest, FullBeardStopsAtEightyAndHangsWithinItsLinks) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    auto object = player1->getGameObject();
    object->transform->setPosition(900.0f, -464.0f);
    frames(30);
    EXPECT_EQ(player1->beard().segmentCount(), 1);
    EXPECT_EQ(player1->beard().mesh().getVertexCount(), 6u);

    // Faster than the game's one per second, slow enough for each link to open before the next.
    player1->tuning.growInterval = 0.4f;
    ASSERT_TRUE(runUntil([&] { return player1->beard().segmentCount() == 80; }, 80 * 25));
    player1->tuning.growInterval = 0.05f;
    frames(180);

    auto segments = chain(*player1);
    EXPECT_EQ(player1->beard().segmentCount(), 80);
    EXPECT_EQ(segments.size(), 80u);
    EXPECT_EQ(countObjects("Player1Beard"), 80);
    EXPECT_EQ(player1->beard().mesh().getVertexCount(), 164u);
    EXPECT_EQ(player1->beard().renderer()->vertices.getVertexCount(), 164u);
    EXPECT_EQ(segments.back(), player1->beard().lastSegment());

    float longest = 0.0f;
    float hanging = 0.0f;
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
        const float link = distance(segments[i]->getGameObject()->transform->getPosition(),
                                    segments[i + 1]->getGameObject()->transform->getPosition());
        longest = std::max(longest, link);
        hanging += link;
    }
    EXPECT_LT(longest, 2.0f * segmentSize * 1.2f);
    EXPECT_LT(hanging, 79.0f * 2.0f * segmentSize * 1.1f);
    EXPECT_GT(segments.back()->getGameObject()->transform->getPosition().y - positionOf(*player1).y, 2500.0f);

    // Still standing on the ledge (x 820 .. 920, top at -400), alive.
    EXPECT_NEAR(positionOf(*player1).y, -464.0f, 3.0f);
    EXPECT_GT(positionOf(*player1).x, 820.0f);
    EXPECT_EQ(player1->state().lives, 3);
    EXPECT_TRUE(player1->isGrounded());
}
