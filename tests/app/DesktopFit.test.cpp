// The window on a desktop with a window manager: it fits the work area (the
// screen less the panels) with its frame, the title bar included, so none of
// it is off the screen. The work area and the frame are set on a private X
// server as a window manager sets them.
#include <gtest/gtest.h>

#include "app/Desktop.hpp"
#include "app/Game.hpp"
#include "app/WindowFit.hpp"
#include "common/PrivateDisplay.hpp"

// Last: Xlib's macros (None, Status, ...) clash with SFML's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {
void setCardinals(Display* display, Window window, const char* name, std::vector<long> values) {
    XChangeProperty(display, window, XInternAtom(display, name, False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()), static_cast<int>(values.size()));
    XSync(display, False);
}

// Where the window's inside is on the screen, as the X server has it.
sf::IntRect placeOf(Display* display, Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

bool holds(const sf::IntRect& area, const sf::IntRect& inner) {
    return inner.left >= area.left && inner.top >= area.top &&
           inner.left + inner.width <= area.left + area.width &&
           inner.top + inner.height <= area.top + area.height;
}
} // namespace

TEST(DesktopFit, ArithmeticKeepsTheFramedWindowInTheWorkArea) {
    // No window manager: the whole screen, the picture's own size where it fits.
    Desktop bare;
    bare.workArea = {0, 0, 1920, 1080};
    EXPECT_EQ(windowSizeOn(bare, {1920, 1080}), sf::Vector2u(1920, 1080));
    EXPECT_EQ(windowPositionOn(bare, {1920, 1080}), sf::Vector2i(0, 0));
    // A panel of 30 px at the top and a known frame: 1916 x 1050 - 26 of room.
    Desktop managed;
    managed.workArea = {0, 30, 1920, 1050};
    managed.managed = true;
    managed.frameKnown = true;
    managed.frame = {2, 2, 24, 2};
    const sf::Vector2u size = windowSizeOn(managed, {1920, 1080});
    EXPECT_EQ(size, sf::Vector2u(1820, 1024));
    const sf::Vector2i at = windowPositionOn(managed, size);
    EXPECT_EQ(at, sf::Vector2i(48, 30));
    // A small window is left as it is and centred with its frame.
    EXPECT_EQ(windowSizeOn(managed, {800, 450}), sf::Vector2u(800, 450));
    EXPECT_EQ(windowPositionOn(managed, {800, 450}), sf::Vector2i(558, 30 + (1050 - 476) / 2));
    // A manager that has not said how it frames the window yet: a title bar is assumed.
    managed.frameKnown = false;
    const sf::Vector2u assumed = windowSizeOn(managed, {1920, 1080});
    EXPECT_LE(assumed.y + assumedWindowFrame.top + assumedWindowFrame.bottom, 1050u);
    EXPECT_NEAR(static_cast<double>(assumed.x) / assumed.y, 16.0 / 9.0, 0.01);
}

TEST(DesktopFit, TheWindowFitsTheWorkAreaWithItsFrameOnAFullHdDesktop) {
    PrivateDisplay server("1920x1080");
    ASSERT_TRUE(server.isRunning()) << server.getProblem();
    Display* display = XOpenDisplay(nullptr);
    ASSERT_TRUE(display);
    // A panel of 32 px at the bottom, on the second of two virtual desktops.
    const Window root = DefaultRootWindow(display);
    setCardinals(display, root, "_NET_WORKAREA", {0, 0, 1920, 1080, 0, 0, 1920, 1048});
    setCardinals(display, root, "_NET_CURRENT_DESKTOP", {1});
    const sf::IntRect workArea(0, 0, 1920, 1048);

    Game game;
    ASSERT_TRUE(game.init()) << "no window";
    const Window window = game.window.getSystemHandle();
    // The frame is not known yet: a title bar is kept free above the window.
    sf::IntRect inside = placeOf(display, window);
    // Without a window manager the frame's corner is where the window goes.
    EXPECT_TRUE(holds(workArea, {inside.left, inside.top,
                                 inside.width + assumedWindowFrame.left + assumedWindowFrame.right,
                                 inside.height + assumedWindowFrame.top + assumedWindowFrame.bottom}))
        << inside.left << "," << inside.top << " " << inside.width << "x" << inside.height;
    EXPECT_LT(inside.width, 1920);
    EXPECT_NEAR(static_cast<double>(inside.width) / inside.height, 16.0 / 9.0, 0.01);

    // The window manager says how it frames the window; the window is fitted
    // again to it (as a size from the settings file is).
    setCardinals(display, window, "_NET_FRAME_EXTENTS", {3, 3, 29, 3});
    game.resizeWindow({1920, 1080});
    XSync(display, False);
    inside = placeOf(display, window);
    EXPECT_EQ(inside.width, 1806);
    EXPECT_EQ(inside.height, 1016);
    // The frame lies in the work area, the title bar on the screen.
    const sf::IntRect framed(inside.left, inside.top, inside.width + 6, inside.height + 32);
    EXPECT_TRUE(holds(workArea, framed))
        << inside.left << "," << inside.top << " " << inside.width << "x" << inside.height;
    EXPECT_EQ(inside.left, (1920 - 1812) / 2);
    XCloseDisplay(display);
}
