// The whole road of the mouse and the keyboard in a real window: X events
// sent with xdotool reach the GUI through the game's loop, and real key state
// reaches the input actions.
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Window.hpp>

#include "app/Game.hpp"
#include "app/GuiManager.hpp"
#include "common/PrivateDisplay.hpp"
#include "common/TestOutput.hpp"
#include "core/input/InputManager.hpp"
#include "widgets/Button.hpp"
#include "widgets/Slider.hpp"

namespace {
class MenuGame : public Game {
public:
    MenuGame() {
        width = 800;
        height = 600;
    }

    void onInit() override {
        auto& gui = GuiManager::instance();
        gui.loadGroup("page", std::string(VORLUNE_SOURCE_DIR) + "/tests/widgets/forms/AllWidgets.txt");
        gui.setVisible("page", true);
        if (auto start = gui.getWidget<widgets::Button>("page", "Start")) {
            start->onPress.connect([this] { ++presses; });
            start->onMouseEnter.connect([this] { ++enters; });
        }
        InputManager::instance().addAction("ESC", false);
        InputManager::instance().addKey("ESC", sf::Keyboard::Escape);
    }

    void onUpdate(float, float) override { escapes += InputManager::instance().wasPressed("ESC"); }

    // Runs frames (each long enough to draw) until the condition holds, for at most 5 s.
    bool runUntil(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            runFrame(times, [] { return 1.0f / 30.0f; });
            if (condition()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    void runFrames(int count) {
        for (int i = 0; i < count; ++i) {
            runFrame(times, [] { return 1.0f / 30.0f; });
        }
    }

    bool xdotool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

    // Moves the real pointer to a point of the window's client area. Where the
    // window lies on the screen is measured first, since a window's reported
    // position may include decorations.
    bool moveTo(int x, int y) {
        const sf::Vector2i onScreen = sf::Mouse::getPosition();
        const sf::Vector2i origin = onScreen - sf::Mouse::getPosition(window);
        return xdotool("mousemove --sync " + std::to_string(origin.x + x) + " " +
                       std::to_string(origin.y + y));
    }

    FrameTimes times;
    int presses = 0;
    int enters = 0;
    int escapes = 0;
};
} // namespace

TEST(GameWindowInput, FormPageReactsToTheRealMouseAndKeysReachActions) {
    // The pointer and the keyboard of this test's own X server.
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    MenuGame game;
    ASSERT_TRUE(game.init()) << "no window";
    // Without a window manager the window may be placed partly off the screen,
    // where the pointer cannot go.
    game.window.setPosition({0, 0});
    EXPECT_EQ(InputManager::instance().window, &game.window);
    ASSERT_TRUE(game.runUntil([] { return true; }));

    // Hover, then click "Start" (the panel is centred: Start spans x 220..580, y 140..200).
    ASSERT_TRUE(game.moveTo(400, 170));
    EXPECT_TRUE(game.runUntil([&] { return game.enters == 1; }));
    ASSERT_TRUE(game.xdotool("click 1"));
    EXPECT_TRUE(game.runUntil([&] { return game.presses == 1; }));

    // Drag the volume thumb from 50 far beyond the right end of the slider.
    const auto volume = GuiManager::instance().getWidget<widgets::Slider>("page", "Volume");
    ASSERT_TRUE(volume);
    ASSERT_TRUE(game.moveTo(400, 439));
    ASSERT_TRUE(game.xdotool("mousedown 1"));
    ASSERT_TRUE(game.runUntil([&] { return volume->isHovered(); }));
    ASSERT_TRUE(game.moveTo(790, 439));
    EXPECT_TRUE(game.runUntil([&] { return volume->getValue() == 100.0f; })) << volume->getValue();
    ASSERT_TRUE(game.xdotool("mouseup 1"));
    game.runFrames(5);

    // A real key held down fires the action once.
    ASSERT_TRUE(game.xdotool("keydown Escape"));
    EXPECT_TRUE(game.runUntil([&] { return game.escapes == 1; }));
    game.runFrames(10);
    ASSERT_TRUE(game.xdotool("keyup Escape"));
    EXPECT_EQ(game.escapes, 1);

    // Another window takes the focus: keys typed there, or held when it
    // went, reach no action here.
    ASSERT_TRUE(game.xdotool("keydown Escape"));
    EXPECT_TRUE(game.runUntil([&] { return game.escapes == 2; }));
    {
        sf::Window other(sf::VideoMode(200, 100), "Another program");
        ASSERT_TRUE(game.runUntil([&] { return !InputManager::instance().isWindowFocused(); }));
        game.runFrames(3);
        ASSERT_TRUE(game.xdotool("keyup Escape"));
        ASSERT_TRUE(game.xdotool("keydown Escape"));
        game.runFrames(10);
        ASSERT_TRUE(game.xdotool("keyup Escape"));
        game.runFrames(3);
        EXPECT_EQ(game.escapes, 2) << "only the press made with the focus";
    }
    // Given back, the window's keys are read again.
    const std::string windowId = std::to_string(static_cast<unsigned long>(game.window.getSystemHandle()));
    ASSERT_TRUE(game.xdotool("windowfocus --sync " + windowId));
    ASSERT_TRUE(game.runUntil([&] { return InputManager::instance().isWindowFocused(); }));
    ASSERT_TRUE(game.xdotool("keydown Escape"));
    EXPECT_TRUE(game.runUntil([&] { return game.escapes == 3; }));
    ASSERT_TRUE(game.xdotool("keyup Escape"));

    // What the window shows: the page over the (empty) world.
    sf::Texture shot;
    ASSERT_TRUE(shot.create(game.width, game.height));
    game.draw(0.0f, 0.0f);
    shot.update(game.window);
    const sf::Image image = shot.copyToImage();
    EXPECT_TRUE(image.saveToFile(testOutputPath("GameWindowInput.png")));
    EXPECT_NE(image.getPixel(400, 439), sf::Color(0xC8, 0xB0, 0x70)) << "no thumb left in the middle";
    EXPECT_EQ(image.getPixel(570, 439), sf::Color(0xC8, 0xB0, 0x70)) << "the thumb at the end";

    // Shrink the window through X: the page keeps its layout and is drawn at
    // half the size, and the mouse hits "Start" where it is drawn now (its
    // x 220..580, y 140..200 halved).
    ASSERT_TRUE(game.xdotool("windowsize --sync " + windowId + " 400 300"));
    EXPECT_TRUE(game.runUntil([&] {
        return game.pictureViewport() == sf::FloatRect(0.0f, 0.0f, 1.0f, 1.0f) &&
               game.window.getSize() == sf::Vector2u(400, 300);
    }));
    EXPECT_EQ(GuiManager::instance().gui.getSize(), sf::Vector2f(800.0f, 600.0f));
    ASSERT_TRUE(game.moveTo(200, 85));
    ASSERT_TRUE(game.xdotool("click 1"));
    EXPECT_TRUE(game.runUntil([&] { return game.presses == 2; }));

    game.window.close();
    game.shutdown();
}
