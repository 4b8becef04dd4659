// The game on the screens players have: a laptop's 1366 x 768, 1280 x 720, a
// large 2560 x 1440 and a portrait 1080 x 1920, each an X server of its own.
// The real pointer clicks where Play is drawn, the window is resized in the
// middle of a match, and F11 goes to fullscreen and back.
#include <cstdlib>
#include <string>
#include <thread>

#include "common/PrivateDisplay.hpp"
#include "common/Xdotool.hpp"
#include "game/GameScenario.hpp"
#include "render/CameraComponent.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
class Screen : public GameScenario {
protected:
    // The whole window lies on the screen.
    void expectOnScreen(sf::Vector2u screen) {
        const sf::Vector2i at = game.window.getPosition();
        const sf::Vector2u size = game.window.getSize();
        EXPECT_GE(at.x, 0);
        EXPECT_GE(at.y, 0);
        EXPECT_LE(at.x + static_cast<int>(size.x), static_cast<int>(screen.x));
        EXPECT_LE(at.y + static_cast<int>(size.y), static_cast<int>(screen.y));
    }

    // The picture's area keeps the picture's shape (16:9) within the window.
    void expectPictureShape() {
        const sf::FloatRect area = game.pictureViewport();
        const sf::Vector2u size = game.window.getSize();
        const float shape =
            area.width * static_cast<float>(size.x) / (area.height * static_cast<float>(size.y));
        EXPECT_NEAR(shape, 16.0f / 9.0f, 0.01f);
        EXPECT_GE(area.left, 0.0f);
        EXPECT_GE(area.top, 0.0f);
        EXPECT_LE(area.left + area.width, 1.0001f);
        EXPECT_LE(area.top + area.height, 1.0001f);
    }

    // Both wizards are inside what the camera shows.
    void expectPlayersInView() {
        const auto camera = RenderManager::instance().getMainCamera();
        ASSERT_TRUE(camera);
        const sf::View& view = *camera->getView();
        const sf::FloatRect shown(view.getCenter() - view.getSize() / 2.0f, view.getSize());
        for (const char* name : {"Player1", "Player2"}) {
            const auto player = GameObjectManager::instance().findGameObject(name);
            ASSERT_TRUE(player) << name;
            EXPECT_TRUE(shown.contains(player->transform->getPosition())) << name;
        }
    }

    // The window's pixel at a point of the picture.
    sf::Vector2i pixelOf(sf::Vector2i point) {
        return game.window.mapCoordsToPixel(sf::Vector2f(point), game.pictureView());
    }

    void story(sf::Vector2u screen) {
        start();
        ASSERT_TRUE(framesUntil([&] { return visible("menu"); }));
        const std::string window = std::to_string(game.window.getSystemHandle());

        // The title page is whole on screen, at the picture's shape.
        expectOnScreen(screen);
        expectPictureShape();
        if (screen.x >= 1920 && screen.y >= 1080) {
            EXPECT_EQ(game.window.getSize(), sf::Vector2u(1920, 1080));
        } else {
            EXPECT_LT(game.window.getSize().x, 1920u);
        }

        // A real click where Play is drawn starts the match.
        const sf::Vector2i play = pixelOf(centreOf("menu", "StartGame"));
        ASSERT_TRUE(xdotool("mousemove --window " + window + " " + std::to_string(play.x) + " " +
                            std::to_string(play.y)));
        frames(3);
        ASSERT_TRUE(xdotool("click 1"));
        ASSERT_TRUE(framesUntil([&] { return GuiManager::instance().isVisible("mArena"); }))
            << "the click missed Play";
        // And one on the arena page's first arena.
        const sf::Vector2i arena = pixelOf(centreOf("mArena", "Arena1"));
        ASSERT_TRUE(xdotool("mousemove --window " + window + " " + std::to_string(arena.x) + " " +
                            std::to_string(arena.y)));
        frames(3);
        ASSERT_TRUE(xdotool("click 1"));
        ASSERT_TRUE(framesUntil([&] { return state() == "Arena"; })) << "the click missed the arena";
        frames(30);
        expectPlayersInView();

        // Resized mid-match to another shape: the picture keeps its shape
        // with bars, and the camera still shows both players.
        game.window.setSize({900, 700});
        ASSERT_TRUE(framesUntil([&] { return game.window.getSize() == sf::Vector2u(900, 700); }));
        frames(2);
        expectPictureShape();
        EXPECT_GT(game.pictureViewport().top, 0.0f) << "bars above and below";
        expectPlayersInView();
        game.draw(0.0f, 0.0f);
        sf::Image pixels;
        ASSERT_TRUE(game.captureWindow(pixels));
        const auto dark = [&](unsigned x, unsigned y) {
            const sf::Color colour = pixels.getPixel(x, y);
            return colour.r + colour.g + colour.b == 0;
        };
        EXPECT_TRUE(dark(450, 2)) << "a bar above the picture";
        EXPECT_FALSE(dark(450, 350)) << "the picture in the middle";

        // F11 to fullscreen and back: the game goes on, the window as it was.
        ASSERT_TRUE(
            xdotool("mousemove --window " + std::to_string(game.window.getSystemHandle()) + " 100 100"));
        ASSERT_TRUE(xdotool("key F11"));
        ASSERT_TRUE(framesUntil([&] { return game.isFullscreen(); }));
        EXPECT_EQ(game.window.getSize(), screen);
        expectPictureShape();
        ASSERT_TRUE(
            xdotool("mousemove --window " + std::to_string(game.window.getSystemHandle()) + " 100 100"));
        ASSERT_TRUE(xdotool("key F11"));
        ASSERT_TRUE(framesUntil([&] { return !game.isFullscreen(); }));
        EXPECT_EQ(game.window.getSize(), sf::Vector2u(900, 700));
        frames(30);
        EXPECT_TRUE(game.window.isOpen());
        EXPECT_EQ(state(), "Arena");
        expectPlayersInView();
    }
};

// The screen's X server is started before anything of the game exists:
// SFML opens its display as soon as the game's window object is made.
struct OwnScreen {
    explicit OwnScreen(const char* size) : display(size) {}
    PrivateDisplay display;
};
class Laptop : private OwnScreen, public Screen {
public:
    Laptop() : OwnScreen("1366x768") {}
};
class SmallScreen : private OwnScreen, public Screen {
public:
    SmallScreen() : OwnScreen("1280x720") {}
};
class LargeScreen : private OwnScreen, public Screen {
public:
    LargeScreen() : OwnScreen("2560x1440") {}
};
class PortraitScreen : private OwnScreen, public Screen {
public:
    PortraitScreen() : OwnScreen("1080x1920") {}
};
} // namespace

TEST_F(Laptop, TitleFitsAClickStartsAMatchResizeAndFullscreenKeepItGoing) {
    story({1366, 768});
}
TEST_F(SmallScreen, TitleFitsAClickStartsAMatchResizeAndFullscreenKeepItGoing) {
    story({1280, 720});
}
TEST_F(LargeScreen, TitleFitsAClickStartsAMatchResizeAndFullscreenKeepItGoing) {
    story({2560, 1440});
}
TEST_F(PortraitScreen, TitleFitsAClickStartsAMatchResizeAndFullscreenKeepItGoing) {
    story({1080, 1920});
}
