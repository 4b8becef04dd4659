#include <gtest/gtest.h>

#include "PlayerArena.hpp"
#include "core/EventManager.hpp"
#include "game/GameOverEvent.hpp"
#include "game/player/BeardFadeComponent.hpp"

namespace {
// Pushes the player out over the void beside the ground.
void pushOffTheIsland(PlayerControllerComponent& player) {
    auto object = player.getGameObject();
    object->transform->setPosition(1100.0f, -100.0f);
    object->transform->markMoved();
}
} // namespace

// Falling below 1500 costs a life at once; 1 s later the player is back at
// (0, -300) with a fresh one-segment beard while the old one fades away. The
// last life ends the match with a GameOverEvent for the other player, after
// which both controllers are frozen.
TEST_F(PlayerArenaTest, FallingCostsALifeRespawnsAndTheLastLifeEndsTheMatch) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    std::vector<int> winners;
    auto key = EventManager::instance().addListener([&](std::shared_ptr<GameEvent> event) {
        if (auto over = std::dynamic_pointer_cast<GameOverEvent>(event)) {
            winners.push_back(over->winner);
        }
    });
    frames(10);
    growTo(*player1, 6);
    frames(30);

    pushOffTheIsland(*player1);
    ASSERT_TRUE(runUntil([&] { return player1->state().lives == 2; }, 600));
    EXPECT_GT(positionOf(*player1).y, 1500.0f);
    EXPECT_EQ(player1->state().deathTimer, 0.0f);
    int waited = 0;
    while (player1->state().deathTimer >= 0.0f && waited < 120) {
        frame();
        ++waited;
    }
    EXPECT_NEAR(waited, 61, 2) << "frames from death to respawn";
    EXPECT_EQ(positionOf(*player1), sf::Vector2f(0.0f, -300.0f));
    EXPECT_EQ(player1->beard().segmentCount(), 1);
    EXPECT_EQ(chain(*player1).size(), 1u);
    EXPECT_EQ(player1->beard().mesh().getVertexCount(), 6u);
    EXPECT_EQ(countObjects("Beard Leftovers"), 1);
    frames(30);
    EXPECT_EQ(countObjects("Beard Leftovers"), 0);
    EXPECT_EQ(countObjects("Player1Beard"), 1);
    EXPECT_EQ(countObjects("Player1Beard2"), 1);
    // Falls onto the ground below the respawn point and stays alive.
    ASSERT_TRUE(runUntil([&] { return player1->isGrounded(); }, 120));
    EXPECT_EQ(player1->state().lives, 2);

    PlayerState lastLife = player1->state();
    lastLife.lives = 1;
    player1->restoreState(lastLife);
    pushOffTheIsland(*player1);
    ASSERT_TRUE(runUntil([&] { return player1->state().lives == 0; }, 600));
    frames(59);
    EXPECT_TRUE(winners.empty());
    ASSERT_TRUE(runUntil([&] { return !winners.empty(); }, 5));
    EXPECT_EQ(winners, std::vector<int>{2});
    frame();
    EXPECT_TRUE(player1->state().frozen);
    EXPECT_TRUE(player2->state().frozen);
    frames(120);
    EXPECT_EQ(player1->state().lives, 0);
    EXPECT_EQ(winners.size(), 1u);
}

// Deaths with a one-segment beard: the respawn has nothing to cut below the
// chin, and the fresh beard is again one segment.
TEST_F(PlayerArenaTest, UnlimitedLivesNeverEndTheMatch) {
    ASSERT_NO_FATAL_FAILURE(buildArena(true));
    player2->tuning.growInterval = 1000.0f;
    int gameOvers = 0;
    auto key = EventManager::instance().addListener([&](std::shared_ptr<GameEvent> event) {
        gameOvers += std::dynamic_pointer_cast<GameOverEvent>(event) != nullptr;
    });
    for (int death = 0; death < 4; ++death) {
        pushOffTheIsland(*player2);
        ASSERT_TRUE(runUntil([&] { return player2->state().deathTimer >= 0.0f; }, 600));
        ASSERT_TRUE(runUntil([&] { return player2->state().deathTimer < 0.0f; }, 120));
        EXPECT_EQ(positionOf(*player2), sf::Vector2f(0.0f, -300.0f));
        EXPECT_EQ(player2->beard().segmentCount(), 1);
        EXPECT_EQ(player2->beard().mesh().getVertexCount(), 6u);
        EXPECT_EQ(countObjects("Beard Leftovers"), 0);
        EXPECT_EQ(countObjects("Player2Beard"), 1);
    }
    frames(30);
    EXPECT_EQ(player2->state().lives, 3);
    EXPECT_EQ(gameOvers, 0);
    EXPECT_FALSE(player2->state().frozen);
}

// Physics that blew up (forced here: a beard tip's velocity, then a player's
// own place, that are not numbers) count as a fall: the blown-up beard is cut
// away at once, a life is lost, the player respawns with a fresh beard as
// usual, and the ground the blow-up reached is put back where it was.
TEST_F(PlayerArenaTest, BlownUpBeardOrBodyCountsAsAFallAndTheMatchGoesOn) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    frames(10);
    growTo(*player1, 6);
    frames(30);
    const auto allFinite = [](const PlayerControllerComponent& player) {
        bool finite = std::isfinite(positionOf(player).x) && std::isfinite(positionOf(player).y) &&
                      velocityOf(player).IsValid();
        for (const auto& segment : chain(player)) {
            finite = finite && segment->getGameObject()->rigidBody->liveBody()->GetPosition().IsValid();
        }
        return finite;
    };
    const auto ground = GameObjectManager::instance().findGameObject("Ground");
    ASSERT_TRUE(ground && ground->rigidBody);
    const b2Vec2 groundAt = ground->rigidBody->liveBody()->GetPosition();

    chain(*player1).back()->getGameObject()->rigidBody->liveBody()->SetLinearVelocity(b2Vec2(NAN, NAN));
    frame();
    EXPECT_EQ(player1->state().lives, 2);
    EXPECT_EQ(player1->beard().segmentCount(), 1) << "the blown-up beard is cut away";
    EXPECT_TRUE(allFinite(*player1));
    EXPECT_EQ(countObjects("Player1Beard"), 1);
    EXPECT_EQ(ground->rigidBody->liveBody()->GetPosition(), groundAt);
    ASSERT_TRUE(runUntil(
        [&] { return player1->state().deathTimer < 0.0f && player2->state().deathTimer < 0.0f; }, 120));
    EXPECT_EQ(positionOf(*player1), sf::Vector2f(0.0f, -300.0f));
    ASSERT_TRUE(runUntil([&] { return player1->isGrounded(); }, 120));
    EXPECT_EQ(player1->state().lives, 2) << "no second blow-up";
    EXPECT_TRUE(allFinite(*player1));
    EXPECT_TRUE(allFinite(*player2));

    // The player's own body lost its place: it waits at the respawn point.
    const int livesBefore = player2->state().lives;
    player2->getGameObject()->rigidBody->liveBody()->SetTransform(b2Vec2(INFINITY, NAN), 0.0f);
    frame();
    EXPECT_EQ(player2->state().lives, livesBefore - 1);
    EXPECT_TRUE(allFinite(*player2));
    ASSERT_TRUE(runUntil([&] { return player2->state().deathTimer < 0.0f; }, 120));
    frames(60);
    EXPECT_TRUE(allFinite(*player2));
    EXPECT_TRUE(allFinite(*player1));
    EXPECT_EQ(player2->state().lives, livesBefore - 1);
    EXPECT_EQ(player1->state().lives, 2);
}
