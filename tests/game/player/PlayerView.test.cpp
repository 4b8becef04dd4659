#include <gtest/gtest.h>

#include "PlayerArena.hpp"
#include "game/player/PlayerView.hpp"

// What the health bar and a computer player read of a player follows its
// play: standing, jumping into magic, the beard tip hanging below the chin,
// a fall out of the arena until the respawn, and the end of the match.
TEST_F(PlayerArenaTest, ViewFollowsThePlayerThroughMagicAFallAndTheEndOfTheMatch) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    const PlayerView view(*player1);
    EXPECT_EQ(view.playerNumber(), 1);
    EXPECT_EQ(PlayerView(*player2).playerNumber(), 2);
    EXPECT_EQ(view.gameObject(), player1->getGameObject());
    frames(10);
    growTo(*player1, 5);
    frames(60);
    EXPECT_TRUE(view.isGrounded());
    EXPECT_FALSE(view.isDead());
    EXPECT_EQ(view.lives(), 3);
    EXPECT_EQ(view.segmentCount(), 5);
    ASSERT_TRUE(view.tipPosition());
    EXPECT_GT(view.tipPosition()->y, positionOf(*player1).y) << "a resting beard hangs below the chin";
    EXPECT_NEAR(positionOf(*player1).y + view.halfHeight(), 0.0f, 2.0f) << "feet on the ground's top";

    hold(sf::Keyboard::Space);
    frames(2);
    hold(sf::Keyboard::Space, false);
    ASSERT_TRUE(runUntil([&] { return !view.isGrounded(); }, 10));
    hold(sf::Keyboard::G);
    frames(2);
    EXPECT_TRUE(view.isMagicActive());
    EXPECT_EQ(view.magicCharges(), 1);
    hold(sf::Keyboard::G, false);
    frames(2);
    EXPECT_FALSE(view.isMagicActive());

    // Out over the void: dead from the fall below the kill line until the respawn.
    player1->getGameObject()->transform->setPosition(1100.0f, -100.0f);
    player1->getGameObject()->transform->markMoved();
    ASSERT_TRUE(runUntil([&] { return view.isDead(); }, 600));
    EXPECT_GT(positionOf(*player1).y, static_cast<float>(view.killY()));
    EXPECT_EQ(view.lives(), 2);
    ASSERT_TRUE(runUntil([&] { return !view.isDead(); }, 90));
    EXPECT_EQ(view.segmentCount(), 1) << "back with a fresh beard";
    EXPECT_FALSE(view.isFrozen());

    // The other player's last life ends the match: both are frozen.
    PlayerState lastLife = player2->state();
    lastLife.lives = 1;
    player2->restoreState(lastLife);
    player2->getGameObject()->transform->setPosition(1100.0f, -100.0f);
    player2->getGameObject()->transform->markMoved();
    ASSERT_TRUE(runUntil([&] { return view.isFrozen(); }, 700));
    EXPECT_EQ(PlayerView(*player2).lives(), 0);
    EXPECT_TRUE(PlayerView(*player2).isFrozen());
    EXPECT_EQ(view.lives(), 2);
}
