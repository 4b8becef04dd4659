#pragma once

#include <SFML/Window/WindowHandle.hpp>

#include "app/WindowFit.hpp"

// Asks the X server where a window of the game may go: the work area the
// window manager gives on the root window (_NET_WORKAREA of the current
// desktop) and the frame it draws around `window` (_NET_FRAME_EXTENTS), where
// it gives them; else the whole screen and no frame. `window` may be 0 (no
// window yet). Without a display: an empty, unmanaged desktop.
Desktop readDesktop(sf::WindowHandle window);
