#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/Game.hpp"
#include "audio/SoundManager.hpp"
#include "common/ScriptedInputTest.hpp"
#include "core/EventManager.hpp"
#include "game/GameContent.hpp"
#include "game/InputBindings.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "render/AssetManager.hpp"
#include "scene/GameObjectManager.hpp"
#include <functional>

// A small arena (tests/game/player/arena.tmx) with two real players in a real
// physics world, driven frame by frame the way the main loop drives them and
// steered through the scripted input backend. The ground runs from x -700 to
// 700 with its top at y 0; Player1 stands at x -300, Player2 at x 300; a
// ceiling platform hangs over Player1 (y -440 .. -400).
class PlayerArenaTest : public ScriptedInputTest {
protected:
    static constexpr float step = 1.0f / 60.0f;

    void SetUp() override;
    void TearDown() override;

    // Loads the content, the map and the players (with `unlimitedLives`);
    // `beforePlayers` runs once the map is built, before the controllers are added.
    void buildArena(bool unlimitedLives = false, const std::function<void()>& beforePlayers = {});
    // One frame of the main loop with one fixed step: the players' fixed
    // updates, the world step, then the frame update and event delivery.
    void frame();
    void frames(int count);
    // The two halves of `frame`, to look at what a fixed step set before the world moves it.
    void fixedPart();
    void updatePart();
    // Runs frames until `done` holds or `limit` frames have passed; whether it held.
    bool runUntil(const std::function<bool()>& done, int limit);

    void hold(sf::Keyboard::Key key, bool down = true) { devices->setKey(key, down); }
    // Grows the beard of `player` to `count` segments, one per frame.
    void growTo(PlayerControllerComponent& player, int count);

    // The chain from the chin to the tip.
    static std::vector<std::shared_ptr<BeardSegmentComponent>> chain(const PlayerControllerComponent& player);
    static sf::Vector2f positionOf(const PlayerControllerComponent& player);
    static b2Vec2 velocityOf(const PlayerControllerComponent& player);
    // Objects of that name, listed or about to be, that are not destroyed.
    static int countObjects(const std::string& name);

    Game loop;
    float time = 0.0f;
    std::shared_ptr<PlayerControllerComponent> player1;
    std::shared_ptr<PlayerControllerComponent> player2;
};

inline void PlayerArenaTest::SetUp() {
    ScriptedInputTest::SetUp();
    registerInputBindings(input);
}

inline void PlayerArenaTest::TearDown() {
    player1.reset();
    player2.reset();
    GameObjectManager::instance().clear(true);
    ScriptedInputTest::TearDown();
}

inline void PlayerArenaTest::buildArena(bool unlimitedLives, const std::function<void()>& beforePlayers) {
    auto& physics = PhysicsManager::instance();
    physics.createWorld(0.0f, 10.0f, 100.0f);
    createPlayerCollisionLayers(physics);
    loadCharacterArt(AssetManager::instance());
    auto& sounds = SoundManager::instance();
    registerGameSounds(sounds);
    sounds.soundVolume = 0.5f;
    sounds.musicVolume = 0.5f;
    auto& maps = MapStore::instance();
    ASSERT_TRUE(maps.loadMap(VORLUNE_SOURCE_DIR "/tests/game/player/arena.tmx", "arena"));
    maps.instantiate("arena", true, false);
    auto& objects = GameObjectManager::instance();
    auto first = objects.findGameObject("Player1");
    auto second = objects.findGameObject("Player2");
    ASSERT_TRUE(first && second);
    if (beforePlayers) {
        beforePlayers();
    }
    player1 = addComponent<PlayerControllerComponent>(first, 1, unlimitedLives);
    player2 = addComponent<PlayerControllerComponent>(second, 2, unlimitedLives);
    ASSERT_TRUE(player1 && player2);
    objects.flushPendingAdditions();
}

inline void PlayerArenaTest::fixedPart() {
    // As the game's frame: input first, then the fixed step.
    loop.sampleInput(step);
    PhysicsManager::instance().flushPendingDestructions();
    time += step;
    loop.fixedUpdate(step, time);
}

inline void PlayerArenaTest::updatePart() {
    auto& physics = PhysicsManager::instance();
    physics.stepWorld(step);
    physics.clearForces();
    loop.update(step, time);
}

inline void PlayerArenaTest::frame() {
    fixedPart();
    updatePart();
}

inline void PlayerArenaTest::frames(int count) {
    for (int i = 0; i < count; ++i) {
        frame();
    }
}

inline bool PlayerArenaTest::runUntil(const std::function<bool()>& done, int limit) {
    for (int i = 0; i < limit; ++i) {
        if (done()) {
            return true;
        }
        frame();
    }
    return done();
}

inline void PlayerArenaTest::growTo(PlayerControllerComponent& player, int count) {
    const float interval = player.tuning.growInterval;
    player.tuning.growInterval = step / 2.0f;
    while (player.beard().segmentCount() < count) {
        frame();
    }
    player.tuning.growInterval = interval;
    PlayerState restarted = player.state();
    restarted.growTimer = 0.0f;
    player.restoreState(restarted);
}

inline std::vector<std::shared_ptr<BeardSegmentComponent>>
PlayerArenaTest::chain(const PlayerControllerComponent& player) {
    std::vector<std::shared_ptr<BeardSegmentComponent>> segments;
    for (auto segment = player.beard().firstSegment(); segment; segment = segment->towardTip.lock()) {
        segments.push_back(segment);
    }
    return segments;
}

inline sf::Vector2f PlayerArenaTest::positionOf(const PlayerControllerComponent& player) {
    return player.getGameObject()->transform->getPosition();
}

inline b2Vec2 PlayerArenaTest::velocityOf(const PlayerControllerComponent& player) {
    return player.getGameObject()->rigidBody->getVelocity();
}

inline int PlayerArenaTest::countObjects(const std::string& name) {
    int count = 0;
    auto& objects = GameObjectManager::instance();
    for (const auto* list : {&objects.sceneObjects, &objects.persistentObjects}) {
        for (const auto& object : *list) {
            count += object->name == name && !object->destroyed;
        }
    }
    for (const auto& entry : objects.pendingAdditions) {
        count += entry.object->name == name && !entry.object->destroyed;
    }
    return count;
}
