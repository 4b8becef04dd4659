#include "app/WindowFit.hpp"

#include <algorithm>

sf::Vector2u startingWindowSize(sf::Vector2u picture, sf::Vector2u desktop) {
    if (picture.x == 0 || picture.y == 0 || (desktop.x >= picture.x && desktop.y >= picture.y)) {
        return picture;
    }
    const double roomY = desktop.y > windowFrameReserve ? desktop.y - windowFrameReserve : desktop.y;
    const double scale = std::min(static_cast<double>(desktop.x) / picture.x, roomY / picture.y);
    return {std::max(1u, static_cast<unsigned>(picture.x * scale)),
            std::max(1u, static_cast<unsigned>(picture.y * scale))};
}

WindowFrame Desktop::expectedFrame() const {
    if (frameKnown) {
        return frame;
    }
    return managed ? assumedWindowFrame : WindowFrame{};
}

sf::Vector2u windowSizeOn(const Desktop& desktop, sf::Vector2u size) {
    const sf::Vector2u screen(static_cast<unsigned>(std::max(0, desktop.workArea.width)),
                              static_cast<unsigned>(std::max(0, desktop.workArea.height)));
    if (!desktop.managed && !desktop.frameKnown) {
        return startingWindowSize(size, screen);
    }
    const WindowFrame frame = desktop.expectedFrame();
    const double roomX = std::max(1, desktop.workArea.width - frame.left - frame.right);
    const double roomY = std::max(1, desktop.workArea.height - frame.top - frame.bottom);
    if (size.x == 0 || size.y == 0 || (size.x <= roomX && size.y <= roomY)) {
        return size;
    }
    const double scale = std::min(roomX / size.x, roomY / size.y);
    return {std::max(1u, static_cast<unsigned>(size.x * scale)),
            std::max(1u, static_cast<unsigned>(size.y * scale))};
}

sf::Vector2i windowPositionOn(const Desktop& desktop, sf::Vector2u size) {
    const WindowFrame frame = desktop.expectedFrame();
    const int outerX = static_cast<int>(size.x) + frame.left + frame.right;
    const int outerY = static_cast<int>(size.y) + frame.top + frame.bottom;
    return {desktop.workArea.left + std::max(0, (desktop.workArea.width - outerX) / 2),
            desktop.workArea.top + std::max(0, (desktop.workArea.height - outerY) / 2)};
}

sf::FloatRect letterbox(sf::Vector2u picture, sf::Vector2u window) {
    if (picture.x == 0 || picture.y == 0 || window.x == 0 || window.y == 0) {
        return {0.0f, 0.0f, 1.0f, 1.0f};
    }
    const double pictureShape = static_cast<double>(picture.x) / picture.y;
    const double windowShape = static_cast<double>(window.x) / window.y;
    if (windowShape > pictureShape) {
        // Wider than the picture: bars at the sides.
        const float width = static_cast<float>(pictureShape / windowShape);
        return {(1.0f - width) / 2.0f, 0.0f, width, 1.0f};
    }
    const float height = static_cast<float>(windowShape / pictureShape);
    return {0.0f, (1.0f - height) / 2.0f, 1.0f, height};
}
