#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "app/Game.hpp"
#include "common/Polling.hpp"
#include "common/PrivateDisplay.hpp"

// After SFML's headers: X11's macros (None, Status) would break them.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Fills every drawn frame with the colour it is given, and looks at what
// the display shows of the window in each update.
class ColourGame : public Game {
public:
    ColourGame() {
        width = 64;
        height = 48;
        title = "Presentation test";
    }
    sf::Color fill = sf::Color::Red;
    int drawn = 0;
    sf::Color lastDrawn;
    std::function<void()> whenUpdated;

    void onDraw(float, float, sf::RenderTarget& target) override {
        target.clear(fill);
        lastDrawn = fill;
        ++drawn;
    }
    void onUpdate(float, float) override {
        if (whenUpdated) {
            whenUpdated();
        }
    }
};

// A connection of its own to the display the game's window is on.
class ShownPixels {
public:
    ShownPixels() : display(XOpenDisplay(nullptr)) {}
    ~ShownPixels() {
        if (display) {
            XCloseDisplay(display);
        }
    }
    ShownPixels(const ShownPixels&) = delete;
    ShownPixels& operator=(const ShownPixels&) = delete;

    // The colour the display shows at the centre of `window`.
    std::optional<sf::Color> centre(sf::WindowHandle window) const {
        XWindowAttributes attributes{};
        if (!display || !XGetWindowAttributes(display, window, &attributes)) {
            return std::nullopt;
        }
        XImage* image =
            XGetImage(display, window, attributes.width / 2, attributes.height / 2, 1, 1, AllPlanes, ZPixmap);
        if (!image) {
            return std::nullopt;
        }
        const unsigned long pixel = XGetPixel(image, 0, 0);
        const sf::Color colour(static_cast<sf::Uint8>((pixel & image->red_mask) >> 16),
                               static_cast<sf::Uint8>((pixel & image->green_mask) >> 8),
                               static_cast<sf::Uint8>(pixel & image->blue_mask));
        XDestroyImage(image);
        return colour;
    }

    bool shows(sf::WindowHandle window, sf::Color colour) const {
        return pollUntil([&] { return centre(window) == colour; }, std::chrono::seconds(2));
    }

private:
    Display* display;
};

// The cases read the screen's pixels, which any other test's window on a
// shared display may cover: they run in a process of their own
// (tests/CMakeLists.txt) on an X server of its own, started by the first.
const PrivateDisplay& presentationDisplay() {
    static const PrivateDisplay display;
    return display;
}

} // namespace

// A frame is handed to the renderer when drawn and shown at the next draw
// or when presented, never lost and never shown out of order.
TEST(FramePresentation, ADrawnFrameIsShownByTheNextDrawOrAPresent) {
    ASSERT_TRUE(presentationDisplay().isRunning()) << presentationDisplay().getProblem();
    ColourGame game;
    ASSERT_TRUE(game.init()) << "needs a display (run under Xvfb)";
    const ShownPixels screen;
    const sf::WindowHandle window = game.window.getSystemHandle();

    game.fill = sf::Color::Red;
    game.draw(0.0f, 0.0f);
    game.presentFrame();
    EXPECT_TRUE(screen.shows(window, sf::Color::Red));

    // Drawn, not yet shown: the display keeps the frame before it.
    game.fill = sf::Color::Blue;
    game.draw(0.0f, 0.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(screen.centre(window), sf::Color::Red);

    // The next draw shows it first.
    game.fill = sf::Color::Green;
    game.draw(0.0f, 0.0f);
    EXPECT_TRUE(screen.shows(window, sf::Color::Blue));

    // Reading the window reads the frame drawn last, shown or not.
    sf::Image picture;
    ASSERT_TRUE(game.captureWindow(picture));
    EXPECT_EQ(picture.getPixel(32, 24), sf::Color::Green);

    game.presentFrame();
    EXPECT_TRUE(screen.shows(window, sf::Color::Green));
    // Nothing pending: presenting again changes nothing.
    game.presentFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(screen.centre(window), sf::Color::Green);
}

// A loop with time to spare shows each frame before it sleeps: by the next
// frame's update the display shows what the last draw drew.
TEST(FramePresentation, AWaitingLoopShowsEachFrameBeforeItSleeps) {
    ASSERT_TRUE(presentationDisplay().isRunning()) << presentationDisplay().getProblem();
    ColourGame game;
    const ShownPixels screen;
    int checked = 0;
    int seenDrawn = 0;
    game.whenUpdated = [&] {
        if (game.drawn > seenDrawn) {
            seenDrawn = game.drawn;
            EXPECT_TRUE(screen.shows(game.window.getSystemHandle(), game.lastDrawn))
                << "frame " << game.drawn;
            ++checked;
        }
        // A new colour for every frame, so a frame shown late is told apart.
        game.fill = game.drawn % 2 ? sf::Color::Yellow : sf::Color::Cyan;
        if (checked == 6) {
            game.window.close();
        }
    };
    ASSERT_TRUE(game.run()) << "needs a display (run under Xvfb)";
    EXPECT_EQ(checked, 6);
}
