// Health bars on real game objects, the render manager's main camera and the
// arena map. One drawn frame is saved as build/test-output/healthbar/arena-hud.png.
#include <cmath>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/Game.hpp"
#include "audio/SoundManager.hpp"
#include "common/ScriptedInputTest.hpp"
#include "game/GameContent.hpp"
#include "game/GameCreators.hpp"
#include "game/hud/HealthBarComponent.hpp"
#include "game/player/PlayerColors.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/AssetManager.hpp"
#include "render/CameraComponent.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/SpriteRendererComponent.hpp"

namespace {
constexpr float frameStep = 1.0f / 60.0f;

class HealthBarTest : public ScriptedInputTest {
protected:
    void SetUp() override {
        ScriptedInputTest::SetUp();
        registerGameCreators(objects);
        PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
        loadCharacterArt(AssetManager::instance());
    }
    void TearDown() override {
        objects.clear(true);
        ScriptedInputTest::TearDown();
    }
    // A bar object at world (x, y), built through the registered creator as the map loader does.
    std::shared_ptr<HealthBarComponent> makeBar(float x, float y) {
        auto bar = objects.createGameObject("Healthbar");
        bar->transform->setPosition(x, y);
        return std::dynamic_pointer_cast<HealthBarComponent>(objects.createComponent("HealthBar", bar, {}));
    }
    // Frames in the main loop's order: input, fixed update, world step, update and deferred calls.
    void run(float seconds, float delta = frameStep) {
        auto& physics = PhysicsManager::instance();
        for (int i = 0; i < static_cast<int>(std::lround(seconds / delta)); ++i) {
            elapsed += delta;
            loop.sampleInput(delta);
            physics.flushPendingDestructions();
            loop.fixedUpdate(delta, elapsed);
            physics.stepWorld(delta);
            physics.clearForces();
            loop.update(delta, elapsed);
        }
    }
    static std::shared_ptr<TransformComponent> icon(const HealthBarComponent& bar, size_t index) {
        return bar.icons.at(index)->getGameObject()->transform;
    }
    // Where an icon lands on the 1920 x 1080 screen through the main camera.
    static sf::Vector2f onScreen(const HealthBarComponent& bar, size_t index) {
        auto view = RenderManager::instance().getMainCamera()->getView();
        const sf::Vector2f clip = view->getTransform().transformPoint(icon(bar, index)->getPosition());
        return {(clip.x + 1.0f) * 960.0f, (1.0f - clip.y) * 540.0f};
    }

    GameObjectManager& objects = GameObjectManager::instance();
    Game loop;
    float elapsed = 0.0f;
};
} // namespace

TEST_F(HealthBarTest, ArenaPlayersShowTheirLivesAsTintedHatsRidingTheStageCameraInTheTopCorners) {
    createPlayerCollisionLayers(PhysicsManager::instance());
    registerGameSounds(SoundManager::instance());
    ASSERT_TRUE(MapStore::instance().loadMap("../assets/tilemap/zefMap.tmx", "magicmap"));
    MapStore::instance().instantiate("magicmap", true, true);
    std::shared_ptr<HealthBarComponent> bars[2];
    std::shared_ptr<PlayerControllerComponent> players[2];
    for (int i = 0; i < 2; ++i) {
        const std::string number = std::to_string(i + 1);
        // Player 2 plays with unlimited lives.
        players[i] =
            addComponent<PlayerControllerComponent>(objects.findGameObject("Player" + number), i + 1, i == 1);
        auto barObject = objects.findGameObject("Healthbar" + number);
        ASSERT_TRUE(players[i] && barObject && (bars[i] = barObject->getComponent<HealthBarComponent>()));
        EXPECT_EQ(bars[i]->player, players[i].get()) << "the player hands itself to its bar";
        ASSERT_EQ(bars[i]->icons.size(), 3u);
    }
    objects.flushPendingAdditions();
    auto camera = RenderManager::instance().getMainCamera()->getGameObject();
    EXPECT_EQ(bars[0]->getGameObject()->lockParent(), camera);

    sf::RenderTexture screen;
    ASSERT_TRUE(screen.create(1920, 1080));
    auto draw = [&] {
        screen.clear();
        RenderManager::instance().drawAll(screen, frameStep, elapsed);
        screen.display();
        return screen.getTexture().copyToImage();
    };
    // The stage camera moves and zooms after the players; the hats keep their pixels.
    auto expectHatsInTheCorners = [&](const sf::Image& picture, const std::string& when) {
        for (size_t i = 0; i < 3; ++i) {
            const sf::Vector2f left = onScreen(*bars[0], i), right = onScreen(*bars[1], i);
            EXPECT_NEAR(left.x, 120.0f + 150.0f * i, 0.05f) << when;
            EXPECT_NEAR(right.x, 1800.0f - 150.0f * i, 0.05f) << "the right bar runs leftwards " << when;
            EXPECT_NEAR(left.y, 70.0f, 0.05f) << when;
            EXPECT_EQ(icon(*bars[1], i)->getScale(), sf::Vector2f(-1, 1)) << "and is mirrored " << when;
            // A point on the hat shows the player's hat, above the foreground grass.
            for (int p = 0; p < 2 && bars[p]->icons[i]->enabled; ++p) {
                const sf::Color shown = picture.getPixel(static_cast<unsigned>(p ? right.x : left.x),
                                                         static_cast<unsigned>(left.y + 20.0f));
                const sf::Color hat = players[p]->hat().copyToImage().getPixel(48, 68);
                EXPECT_NEAR(shown.r, hat.r, 25) << "player " << p + 1 << " hat " << i << " " << when;
                EXPECT_NEAR(shown.b, hat.b, 25) << "player " << p + 1 << " hat " << i << " " << when;
            }
        }
    };
    run(0.5f);
    EXPECT_NE(camera->transform->getScale().x, 1.0f);
    expectHatsInTheCorners(draw(), "at the start");

    // Both fall out of the arena: player 1's third hat tips and bursts in its
    // colour; player 2, with unlimited lives, keeps every hat.
    for (auto& player : players) {
        player->getGameObject()->transform->setPosition(0.0f, 1600.0f);
    }
    run(0.1f);
    EXPECT_EQ(players[0]->state().lives, 2);
    EXPECT_EQ(bars[0]->losingIcon, 2);
    run(0.3f);
    auto burst = bars[0]->icons[2]->getGameObject()->getComponent<ParticleSystemComponent>();
    EXPECT_FALSE(bars[0]->icons[2]->enabled);
    EXPECT_EQ(burst->particleCount, 100);
    EXPECT_EQ(burst->sprite.getColor(), playerColors(1).clothes1);
    EXPECT_EQ(players[1]->state().lives, 3);
    const sf::Image picture = draw();
    expectHatsInTheCorners(picture, "after the fall");
    const std::string folder = std::string(VORLUNE_BINARY_DIR) + "/test-output";
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/healthbar").c_str(), 0755);
    EXPECT_TRUE(picture.saveToFile(folder + "/healthbar/arena-hud.png"));

    // A player whose object goes is forgotten by its bar, not read after its end.
    objects.destroyGameObject(players[0]->getGameObject());
    players[0].reset();
    run(0.1f);
    EXPECT_EQ(bars[0]->player, nullptr);
}

TEST_F(HealthBarTest, HatsHopInAWaveAndQuickLossesTipThemOneAfterTheOther) {
    // Before the map's camera exists a bar stays where the map put it; a bar
    // given no player stays empty; a second hand-over builds nothing more.
    auto player = std::make_shared<PlayerControllerComponent>(1, false);
    auto stray = makeBar(-300, 200), unbound = makeBar(300, 200);
    stray->setPlayer(player.get());
    stray->setPlayer(std::make_shared<PlayerControllerComponent>(2, false).get());
    unbound->setPlayer(nullptr);
    EXPECT_EQ(icon(*stray, 2)->getPosition(), sf::Vector2f(0, 200));
    EXPECT_EQ(stray->icons.size(), 3u);
    EXPECT_TRUE(unbound->icons.empty());

    auto cameraObject = objects.createGameObject("Camera");
    RenderManager::instance().setMainCamera(addComponent<CameraComponent>(cameraObject, 1920, 1080, 0, 0));
    auto bar = makeBar(-840, -470);
    bar->setPlayer(player.get());
    objects.flushPendingAdditions();

    // Icon i is up from i x 0.1 s to 0.1 s later, 10 px at the top, once a
    // second: the wave restarts on the first frame past 1 s (frames of 1/64 s add up exactly).
    for (int n = 1; n <= 150; ++n) {
        run(1.0f / 64.0f, 1.0f / 64.0f);
        const float wave = static_cast<float>(n % 65) / 64.0f;
        for (size_t i = 0; i < 3; ++i) {
            const float since = wave - 0.1f * i, y = icon(*bar, i)->getLocalPosition().y;
            EXPECT_NEAR(
                y, since > 0.0f && since < 0.1f ? -10.0f * std::sin(since / 0.1f * 3.14159265f) : 0.0f, 0.01f)
                << "icon " << i << " at " << n << "/64 s";
        }
    }

    // The second death comes while the third hat still tips: the second hat waits for it.
    PlayerState dying = player->state();
    dying.lives = 2;
    player->restoreState(dying);
    run(0.1f);
    dying = player->state();
    dying.lives = 1;
    player->restoreState(dying);
    float thirdGone = 0.0f, secondGone = 0.0f;
    for (float t = 0.1f; t < 0.8f; t += frameStep) {
        run(frameStep);
        if (thirdGone == 0.0f && !bar->icons[2]->enabled) {
            thirdGone = t;
            EXPECT_LT(std::abs(icon(*bar, 2)->getScale().x), 0.1f) << "shrunk to almost nothing";
        }
        if (secondGone == 0.0f && !bar->icons[1]->enabled) {
            secondGone = t;
        }
        if (thirdGone == 0.0f) {
            EXPECT_EQ(icon(*bar, 1)->getLocalRotation(), 0.0f) << t;
        }
    }
    EXPECT_NEAR(thirdGone, 0.3f, 2.0f * frameStep);
    EXPECT_NEAR(secondGone - thirdGone, 0.3f, 2.0f * frameStep);
    EXPECT_TRUE(bar->icons[0]->enabled) << "the last life keeps its hat";
    EXPECT_EQ(icon(*bar, 0)->getScale(), sf::Vector2f(1, 1));
}
