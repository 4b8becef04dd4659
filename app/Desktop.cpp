#include "app/Desktop.hpp"

#include <algorithm>
#include <vector>

// Last: Xlib's macros (None, Status, ...) clash with SFML's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {
// The 32-bit cardinals of a property of `window`, as Xlib hands them (longs).
std::vector<long> cardinals(Display* display, Window window, const char* name) {
    const Atom property = XInternAtom(display, name, True);
    if (property == 0) {
        return {};
    }
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && data) {
        const long* longs = reinterpret_cast<const long*>(data);
        values.assign(longs, longs + count);
    }
    if (data) {
        XFree(data);
    }
    return values;
}
} // namespace

Desktop readDesktop(sf::WindowHandle window) {
    Desktop desktop;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return desktop;
    }
    const int screen = DefaultScreen(display);
    const sf::IntRect whole(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen));
    desktop.workArea = whole;
    const Window root = RootWindow(display, screen);

    // Four numbers (x, y, width, height) for each virtual desktop.
    const std::vector<long> areas = cardinals(display, root, "_NET_WORKAREA");
    const std::vector<long> current = cardinals(display, root, "_NET_CURRENT_DESKTOP");
    size_t index = current.empty() ? 0 : static_cast<size_t>(std::max(0L, current[0]));
    if (4 * index + 4 > areas.size()) {
        index = 0;
    }
    if (areas.size() >= 4 * index + 4) {
        const long* area = &areas[4 * index];
        // Kept on the screen, whatever the property says.
        const sf::IntRect given(static_cast<int>(area[0]), static_cast<int>(area[1]),
                                static_cast<int>(area[2]), static_cast<int>(area[3]));
        sf::IntRect onScreen;
        if (given.width > 0 && given.height > 0 && whole.intersects(given, onScreen)) {
            desktop.workArea = onScreen;
            desktop.managed = true;
        }
    }
    if (window != 0) {
        const std::vector<long> extents =
            cardinals(display, static_cast<Window>(window), "_NET_FRAME_EXTENTS");
        if (extents.size() >= 4 && std::all_of(extents.begin(), extents.begin() + 4,
                                               [](long side) { return side >= 0 && side < 1000; })) {
            desktop.frameKnown = true;
            desktop.frame = {static_cast<int>(extents[0]), static_cast<int>(extents[1]),
                             static_cast<int>(extents[2]), static_cast<int>(extents[3])};
        }
    }
    XCloseDisplay(display);
    return desktop;
}
