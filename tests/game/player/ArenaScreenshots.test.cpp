#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <SFML/Graphics/RenderTexture.hpp>

#include "app/Game.hpp"
#include "audio/SoundManager.hpp"
#include "common/ScriptedInputTest.hpp"
#include "game/GameContent.hpp"
#include "game/GameCreators.hpp"
#include "game/InputBindings.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/AssetManager.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"

// A scripted fight on the real arena, saved as pictures to look at:
// build/screenshots/players/*.png. Both players grow long beards, walk up to
// each other, float and fling them; player 2's fling cuts player 1's beard,
// whose leftover fades.
class ArenaScreenshots : public ScriptedInputTest {
protected:
    void SetUp() override {
        ScriptedInputTest::SetUp();
        registerInputBindings(input);
        auto& physics = PhysicsManager::instance();
        physics.createWorld(0.0f, 10.0f, 100.0f);
        createPlayerCollisionLayers(physics);
        loadCharacterArt(AssetManager::instance());
        registerGameSounds(SoundManager::instance());
        SoundManager::instance().soundVolume = 0.5f;
        registerGameCreators(GameObjectManager::instance());
        ASSERT_TRUE(MapStore::instance().loadMap("../assets/tilemap/zefMap.tmx", "magicmap"));
        MapStore::instance().instantiate("magicmap", true, true);
        auto& objects = GameObjectManager::instance();
        player1 = addComponent<PlayerControllerComponent>(objects.findGameObject("Player1"), 1, false);
        player2 = addComponent<PlayerControllerComponent>(objects.findGameObject("Player2"), 2, false);
        ASSERT_TRUE(player1 && player2);
        objects.flushPendingAdditions();
        ASSERT_TRUE(target.create(1920, 1080));
        folder = VORLUNE_BINARY_DIR "/screenshots/players/";
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        player1.reset();
        player2.reset();
        GameObjectManager::instance().clear(true);
        ScriptedInputTest::TearDown();
    }

    void frames(int count) {
        auto& physics = PhysicsManager::instance();
        for (int i = 0; i < count; ++i) {
            loop.sampleInput(step);
            physics.flushPendingDestructions();
            time += step;
            loop.fixedUpdate(step, time);
            physics.stepWorld(step);
            physics.clearForces();
            loop.update(step, time);
        }
    }
    void shoot(const std::string& name) {
        target.clear(sf::Color::Black);
        RenderManager::instance().drawAll(target, step, time);
        target.display();
        ASSERT_TRUE(target.getTexture().copyToImage().saveToFile(folder + name + ".png"));
    }
    void hold(sf::Keyboard::Key key, bool down = true) { devices->setKey(key, down); }

    static constexpr float step = 1.0f / 60.0f;
    Game loop;
    float time = 0.0f;
    sf::RenderTexture target;
    std::string folder;
    std::shared_ptr<PlayerControllerComponent> player1;
    std::shared_ptr<PlayerControllerComponent> player2;
};

TEST_F(ArenaScreenshots, LongBeardsFlingCutAndFade) {
    // Face to face in the middle of the island.
    auto place = [](PlayerControllerComponent& player, float x) {
        auto object = player.getGameObject();
        object->transform->setPosition(x, object->transform->getPosition().y);
    };
    place(*player1, -250.0f);
    place(*player2, 250.0f);
    frames(30);
    hold(sf::Keyboard::Left);
    frames(8);
    hold(sf::Keyboard::Left, false);
    frames(20);
    shoot("0-start");

    player1->tuning.growInterval = 0.4f;
    player2->tuning.growInterval = 0.4f;
    frames(24 * 25);
    player1->tuning.growInterval = 1.0f;
    player2->tuning.growInterval = 1.0f;
    shoot("1-long-beards");

    // Player 1 floats its beard up in front of it.
    hold(sf::Keyboard::G);
    hold(sf::Keyboard::W);
    frames(40);
    shoot("2-floating");
    hold(sf::Keyboard::G, false);
    hold(sf::Keyboard::W, false);
    frames(60);

    // Player 2 steers its tip onto player 1's beard, then flings it left through it.
    const int before = player1->beard().segmentCount();
    hold(sf::Keyboard::Numpad4);
    hold(sf::Keyboard::Left);
    hold(sf::Keyboard::Down);
    for (int i = 0; i < 90 && !player2->beard().lastSegment()->hitSegment.lock(); ++i) {
        frames(1);
    }
    shoot("3-steering");
    hold(sf::Keyboard::Down, false);
    hold(sf::Keyboard::Numpad4, false);
    frames(2);
    shoot("4-cut");
    frames(8);
    shoot("5-leftover-fading");
    hold(sf::Keyboard::Left, false);
    frames(30);
    shoot("6-after");
    std::printf("player 1 beard: %d segments before the fling, %d after\n", before,
                player1->beard().segmentCount());
    EXPECT_LT(player1->beard().segmentCount(), before) << "player 2's fling cuts player 1's beard";
}

// A full beard grown at the island's edge hangs over it; its player stays put.
TEST_F(ArenaScreenshots, FullBeardHangsOverTheEdge) {
    auto object = player1->getGameObject();
    object->transform->setPosition(760.0f, object->transform->getPosition().y);
    frames(30);
    const sf::Vector2f start = object->transform->getPosition();
    player1->tuning.growInterval = 0.4f;
    while (player1->beard().segmentCount() < 80) {
        frames(1);
    }
    frames(300);
    shoot("7-full-beard");
    const sf::Vector2f end = object->transform->getPosition();
    EXPECT_EQ(player1->state().lives, 3);
    EXPECT_NEAR(end.y, start.y, 3.0f);
    // The weight slides it up to the very edge (x 824), where it holds.
    EXPECT_NEAR(end.x, start.x, 80.0f);
}
