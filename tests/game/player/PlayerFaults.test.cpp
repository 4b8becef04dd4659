#include <gtest/gtest.h>

#include <cstdint>

#include "PlayerArena.hpp"
#include "audio/AudioSourceComponent.hpp"
#include "audio/SoundManager.hpp"
#include "game/hud/HealthBarComponent.hpp"
#include "game/player/PlayerSounds.hpp"

// Sound lists may hold empty entries (files that failed to load) or be
// empty: choosing from them plays nothing and crashes nothing, and slow hits
// (negative strength) pick their sound by a defined wrap-around.
TEST_F(PlayerArenaTest, MissingSoundsPlayNothingAndSlowHitsPickAWrappedSound) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    const auto& hits = player1->playerHitSounds;
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(soundByStrength(hits, 0.5f), hits[50 % 3]);
    // -0.2 x 100 = -20, taken as an unsigned 32-bit number.
    EXPECT_EQ(soundByStrength(hits, -0.2f), hits[static_cast<uint32_t>(-20) % 3u]);
    EXPECT_EQ(soundByStrength({}, -0.2f), nullptr);
    EXPECT_EQ(soundAt({}, 5), nullptr);
    EXPECT_EQ(soundByTime({}, 1.234f, 7), nullptr);
    EXPECT_EQ(soundByTime(player1->flingSounds, 1.003f, 4), player1->flingSounds[3]);

    std::vector<std::shared_ptr<sf::Sound>> missing{nullptr, nullptr};
    player1->playImpactSound(0.7f, missing);
    player1->playImpactSound(0.7f, {});
    EXPECT_FALSE(player1->hitSource->sound);
    player1->playImpactSound(0.7f, hits);
    EXPECT_EQ(player1->hitSource->sound, hits[70 % 3]);

    // A player whose sounds all failed to load runs, jumps and flings in silence.
    SoundManager::instance().soundPaths.clear();
    SoundManager::instance().buffers.clear();
    auto silent = GameObjectManager::instance().createGameObject("Silent");
    silent->transform->setPosition(-500.0f, -200.0f);
    auto controller = addComponent<PlayerControllerComponent>(silent, 3, false);
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->footstepSounds.size(), 3u);
    hold(sf::Keyboard::D);
    frames(60);
    hold(sf::Keyboard::D, false);
}

// A player object without a collider keeps the default half size and gets a
// body of its own; a map object "Healthbar<n>" with a health bar receives its
// controller.
TEST_F(PlayerArenaTest, BareObjectsBecomePlayersAndAHealthBarFindsItsPlayer) {
    std::shared_ptr<HealthBarComponent> bar;
    ASSERT_NO_FATAL_FAILURE(buildArena(false, [&] {
        auto object = GameObjectManager::instance().createGameObject("Healthbar2");
        bar = addComponent<HealthBarComponent>(object);
        GameObjectManager::instance().flushPendingAdditions();
    }));
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->player, player2.get());

    // Each player's body is blind to its own beard only.
    auto& physics = PhysicsManager::instance();
    auto layer = [&](const char* name) { return physics.getCollisionLayer(name)->filter; };
    EXPECT_EQ(layer("player1").maskBits & layer("beard1").categoryBits, 0);
    EXPECT_EQ(layer("beard1").maskBits & layer("player1").categoryBits, 0);
    EXPECT_NE(layer("player1").maskBits & layer("beard2").categoryBits, 0);
    EXPECT_EQ(layer("player2").maskBits & layer("beard2").categoryBits, 0);
    EXPECT_EQ(player1->state().mask, layer("player1").maskBits);

    auto bare = GameObjectManager::instance().createGameObject("Bare");
    bare->transform->setPosition(100.0f, -300.0f);
    auto controller = addComponent<PlayerControllerComponent>(bare, 1, false);
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->state().halfWidth, 40.0f);
    EXPECT_EQ(controller->state().halfHeight, 40.0f);
    ASSERT_TRUE(bare->rigidBody);
    EXPECT_EQ(bare->rigidBody->mass, 30.0f);
    EXPECT_EQ(bare->rigidBody->constraints, RigidBodyComponent::lockRotation);
    ASSERT_TRUE(bare->rigidBody->liveBody());
    EXPECT_TRUE(bare->rigidBody->liveBody()->IsFixedRotation());
    EXPECT_EQ(controller->beard().segmentCount(), 1);
    // Without a shape its body has no mass to fall with, but the player works on.
    frames(70);
    EXPECT_EQ(controller->beard().segmentCount(), 2);
    EXPECT_EQ(controller->beard().mesh().getVertexCount(), 8u);
}
