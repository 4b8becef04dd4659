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
