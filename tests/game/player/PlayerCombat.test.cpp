#include <gtest/gtest.h>

#include "PlayerArena.hpp"
#include "game/player/BeardFadeComponent.hpp"
#include "render/PolygonRendererComponent.hpp"

// Player 2 swings its beard at player 1 standing close by: the attacking
// segments knock player 1 away and up.
TEST_F(PlayerArenaTest, AnAttackingBeardKnocksTheOtherPlayerBack) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    auto object = player2->getGameObject();
    object->transform->setPosition(-150.0f, -64.0f);
    frames(10);
    growTo(*player2, 12);
    frames(60);
    const float startX = positionOf(*player1).x;

    hold(sf::Keyboard::Numpad4);
    hold(sf::Keyboard::Up);
    frames(30);
    hold(sf::Keyboard::Up, false);
    hold(sf::Keyboard::Left);
    hold(sf::Keyboard::Numpad4, false);
    bool knocked = false;
    for (int i = 0; i < 30 && !knocked; ++i) {
        frame();
        // Pushed left and lifted: the lift only comes from the knock-back impulse.
        knocked = velocityOf(*player1).x < -1.0f && velocityOf(*player1).y < -0.5f;
    }
    hold(sf::Keyboard::Left, false);
    EXPECT_TRUE(knocked);
    frames(30);
    EXPECT_LT(positionOf(*player1).x, startX - 10.0f);
}

namespace {
sf::Uint8 leftoverAlpha() {
    for (const auto& object : GameObjectManager::instance().persistentObjects) {
        if (object->name == "Beard Leftovers" && !object->destroyed) {
            return object->getComponent<BeardFadeComponent>()->renderer->vertices[0].color.a;
        }
    }
    return 0;
}
} // namespace

// Cutting a beard of n segments at its k-th segment leaves k - 1 segments and
// a leftover of 2(n - k + 1) + 4 vertices that turns white and fades out in
// 0.4 s. The chin segment itself is never cut (the cut moves below it), a
// cut segment is not cut twice, and cutting a one-segment beard or nothing at
// all does nothing. The mesh always has 2 vertices per segment plus 4.
TEST_F(PlayerArenaTest, CuttingABeardLeavesAFadingPieceAndAConsistentMesh) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    frames(10);
    growTo(*player1, 10);
    frames(30);
    auto segments = chain(*player1);
    ASSERT_EQ(segments.size(), 10u);

    const int k = 4;
    player1->cutBeard(segments[k - 1]);
    EXPECT_EQ(player1->beard().segmentCount(), k - 1);
    EXPECT_EQ(chain(*player1).size(), size_t(k - 1));
    EXPECT_EQ(player1->beard().lastSegment(), segments[k - 2]);
    EXPECT_EQ(player1->beard().mesh().getVertexCount(), size_t(2 * (k - 1) + 4));
    for (size_t i = k - 1; i < segments.size(); ++i) {
        EXPECT_TRUE(segments[i]->cut);
        EXPECT_FALSE(segments[i]->getGameObject()->rigidBody) << "its body leaves the world at once";
        EXPECT_TRUE(segments[i]->getGameObject()->destroyed);
    }
    GameObjectManager::instance().flushPendingAdditions();
    auto leftovers = GameObjectManager::instance().findGameObject("Beard Leftovers", true);
    ASSERT_TRUE(leftovers);
    auto fade = leftovers->getComponent<BeardFadeComponent>();
    ASSERT_TRUE(fade);
    EXPECT_EQ(fade->vertices.getVertexCount(), size_t(2 * (10 - k + 1) + 4));
    EXPECT_EQ(leftovers->transform->getPosition(), positionOf(*player1));

    // Cutting the same segment again does nothing.
    player1->cutBeard(segments[k - 1]);
    EXPECT_EQ(player1->beard().segmentCount(), k - 1);
    EXPECT_EQ(countObjects("Beard Leftovers"), 1);

    frame();
    EXPECT_GT(leftoverAlpha(), 200);
    frames(12);
    const sf::Uint8 fading = leftoverAlpha();
    EXPECT_GT(fading, 0);
    EXPECT_LT(fading, 200);
    frames(13);
    EXPECT_EQ(countObjects("Beard Leftovers"), 0) << "gone after 0.4 s";
    EXPECT_EQ(player1->beard().renderer()->vertices.getVertexCount(), size_t(2 * (k - 1) + 4));

    // At the chin: the cut starts at the chin's successor.
    player1->cutBeard(player1->beard().firstSegment());
    EXPECT_EQ(player1->beard().segmentCount(), 1);
    EXPECT_EQ(player1->beard().lastSegment(), player1->beard().firstSegment());
    EXPECT_EQ(player1->beard().mesh().getVertexCount(), 6u);
    EXPECT_EQ(countObjects("Beard Leftovers"), 1);
    frame();
    EXPECT_EQ(player1->beard().renderer()->vertices.getVertexCount(), 6u);

    // Nothing below the chin, or nothing at all: nothing happens.
    player1->cutBeard(player1->beard().firstSegment());
    player1->cutBeard(nullptr);
    EXPECT_EQ(player1->beard().segmentCount(), 1);
    EXPECT_EQ(countObjects("Beard Leftovers"), 1);

    // And the beard grows on from what is left.
    player1->tuning.growInterval = 0.1f;
    frames(40);
    EXPECT_GE(player1->beard().segmentCount(), 4);
    EXPECT_EQ(chain(*player1).size(), size_t(player1->beard().segmentCount()));
    EXPECT_EQ(player1->beard().mesh().getVertexCount(), size_t(2 * player1->beard().segmentCount() + 4));
}
