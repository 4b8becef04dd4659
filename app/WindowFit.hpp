#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

// How the game's picture, made at one fixed size (1920 x 1080), meets the
// window it is shown in: the size the window starts at, and where in a window
// of any size the picture lies, scaled uniformly, with bars on the sides or
// above and below.

// Pixels kept free of a window at start, above and below its picture, on a
// desktop that says nothing of its window manager: the title bar and a
// desktop's panels.
constexpr unsigned windowFrameReserve = 64;

// The frame a window manager draws around a window (title bar, borders), in
// pixels on each side.
struct WindowFrame {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// A title bar for when a window manager is there but has not said how it
// frames this window (it tells once the window is shown).
constexpr WindowFrame assumedWindowFrame{2, 2, 40, 2};

// Where windows go on a desktop, as the window manager says it (see
// readDesktop in app/Desktop.hpp).
struct Desktop {
    // The work area: the screen less the panels and docks, where a window
    // with its frame belongs. Without a window manager, the whole screen.
    sf::IntRect workArea;
    // A window manager gave the work area.
    bool managed = false;
    // The frame it draws around the game's window, once it said so.
    bool frameKnown = false;
    WindowFrame frame;

    // The frame the window gets: the known one, the assumed one under a
    // window manager that has not told yet, none without a window manager.
    WindowFrame expectedFrame() const;
};

// The picture's own size when the desktop holds it, else the largest size of
// the picture's shape that fits the desktop's width and its height less
// `windowFrameReserve`. Never 0 in either direction.
sf::Vector2u startingWindowSize(sf::Vector2u picture, sf::Vector2u desktop);
// The same for a desktop with a window manager: the window with its frame
// fits the work area (`size` as large as it may be, shrunk keeping its
// shape where it does not fit). Without one, as above with the whole screen.
sf::Vector2u windowSizeOn(const Desktop& desktop, sf::Vector2u size);
// Where a window of `size` (its inside) goes so that it is centred in the
// work area with its frame, or at the area's top left corner where it is
// larger: the frame's top left corner, as a window's position is given.
sf::Vector2i windowPositionOn(const Desktop& desktop, sf::Vector2u size);

// Where a window of `window` pixels shows the whole picture as large as it
// fits without changing its shape, as fractions of the window (an sf::View's
// viewport). A window of no area gets the whole window.
sf::FloatRect letterbox(sf::Vector2u picture, sf::Vector2u window);
