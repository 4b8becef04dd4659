#include <gtest/gtest.h>

#include <SFML/Graphics/RectangleShape.hpp>

#include "app/Game.hpp"
#include "audio/SoundManager.hpp"
#include "common/MediaFixtures.hpp"
#include "common/Polling.hpp"
#include "render/CameraComponent.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// Draws a mark into the overlay on every drawn frame.
class OverlayGame : public Game {
public:
    void onDraw(float, float, sf::RenderTarget&) override {
        sf::RectangleShape mark({8, 8});
        mark.setFillColor(sf::Color::Red);
        RenderManager::instance().overlayTexture.draw(mark);
    }
};

class GameMedia : public testing::Test {
protected:
    void SetUp() override {
        game.width = 64;
        game.height = 48;
        game.title = "Media test";
        ASSERT_TRUE(game.init()) << "needs a display (run under Xvfb)";
    }
    OverlayGame game;
};
} // namespace

TEST_F(GameMedia, StartUpCreatesTheOverlayAtWindowSize) {
    const auto& overlay = RenderManager::instance().overlayTexture;
    EXPECT_EQ(overlay.getSize(), sf::Vector2u(64, 48));
    EXPECT_TRUE(overlay.isSmooth());
    EXPECT_EQ(game.overlaySprite.getTexture(), &overlay.getTexture());
}

TEST_F(GameMedia, StoppedSoundsAreDroppedInTheFixedStepOnly) {
    TempDirectory dir;
    auto& sounds = SoundManager::instance();
    auto blip = sounds.playSound(dir.writeTone("blip.wav", 0.02f), false, 10, 1);
    ASSERT_EQ(sounds.playing.size(), 1u);
    ASSERT_TRUE(pollUntil([&] { return blip->getStatus() == sf::SoundSource::Stopped; }));
    blip.reset();
    game.update(0.01f, 0.01f);
    EXPECT_EQ(sounds.playing.size(), 1u);
    game.fixedUpdate(game.fixedDelta, game.fixedDelta);
    EXPECT_TRUE(sounds.playing.empty());
}

TEST_F(GameMedia, DrawAppliesTheMainCameraAndClearsTheOverlayAfterShowingIt) {
    auto cameraObject = GameObjectManager::instance().createGameObject("camera");
    cameraObject->transform->setPosition(100, 200);
    auto camera = addComponent<CameraComponent>(cameraObject, 64, 48, 0, 0);
    RenderManager::instance().setMainCamera(camera);
    game.draw(1.0f / 60.0f, 1.0f / 60.0f);

    auto& overlay = RenderManager::instance().overlayTexture;
    EXPECT_EQ(overlay.getView().getCenter(), sf::Vector2f(100, 200));
    overlay.display();
    const sf::Image image = overlay.getTexture().copyToImage();
    for (unsigned y = 0; y < 48; ++y) {
        for (unsigned x = 0; x < 64; ++x) {
            ASSERT_EQ(image.getPixel(x, y), sf::Color::Transparent) << x << "," << y;
        }
    }
}

namespace {
// A world of one colour filling the view of a camera centred on (100, 200),
// and a mark in the overlay at the view's top-left corner on the frames that
// ask for one.
class MarkedOverlayGame : public Game {
public:
    bool markOverlay = false;
    void onDraw(float, float, sf::RenderTarget& world) override {
        sf::RectangleShape backdrop({64, 48});
        backdrop.setPosition(68, 176);
        backdrop.setFillColor(sf::Color(20, 90, 160));
        world.draw(backdrop);
        if (markOverlay) {
            sf::RectangleShape mark({8, 8});
            mark.setPosition(68, 176);
            mark.setFillColor(sf::Color::Red);
            RenderManager::instance().overlayTexture.draw(mark);
        }
    }
    sf::Image windowPicture() {
        sf::Texture texture;
        EXPECT_TRUE(texture.create(width, height));
        texture.update(window);
        return texture.copyToImage();
    }
};
} // namespace

TEST(GameOverlay, FramesWithoutOverlayDrawingShowTheWorldAloneAndAMarkShowsForOneFrame) {
    MarkedOverlayGame game;
    game.width = 64;
    game.height = 48;
    game.title = "Media test";
    ASSERT_TRUE(game.init()) << "needs a display (run under Xvfb)";
    const sf::Color world(20, 90, 160);
    // The world is drawn under the camera's view; the overlay's copy must
    // still cover the window exactly.
    auto cameraObject = GameObjectManager::instance().createGameObject("camera");
    cameraObject->transform->setPosition(100, 200);
    auto camera = addComponent<CameraComponent>(cameraObject, 64, 48, 0, 0);
    RenderManager::instance().setMainCamera(camera);

    game.draw(1.0f / 60.0f, 0.0f);
    const sf::Image plain = game.windowPicture();
    EXPECT_EQ(plain.getPixel(2, 2), world);
    EXPECT_EQ(plain.getPixel(40, 30), world);
    EXPECT_FALSE(RenderManager::instance().overlayTexture.wasDrawnInto());

    game.markOverlay = true;
    game.draw(1.0f / 60.0f, 0.0f);
    const sf::Image marked = game.windowPicture();
    EXPECT_EQ(marked.getPixel(2, 2), sf::Color::Red);
    EXPECT_EQ(marked.getPixel(40, 30), world);

    // Shown once: the next frame without a mark is the plain picture again, pixel for pixel.
    game.markOverlay = false;
    game.draw(1.0f / 60.0f, 0.0f);
    const sf::Image again = game.windowPicture();
    ASSERT_EQ(again.getSize(), plain.getSize());
    for (unsigned y = 0; y < 48; ++y) {
        for (unsigned x = 0; x < 64; ++x) {
            ASSERT_EQ(again.getPixel(x, y), plain.getPixel(x, y)) << x << "," << y;
        }
    }
}
