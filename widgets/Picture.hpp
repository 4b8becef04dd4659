#pragma once

#include <memory>

#include "widgets/Widget.hpp"
#include "widgets/WidgetTexture.hpp"

namespace widgets {

// An image stretched over the widget. Without a size it takes the image's own
// size (0 x 0 without an image). Takes the mouse like any widget, so a picture
// placed over a button hides it from the mouse.
class Picture : public Widget {
public:
    struct Renderer {
        // Shared with every widget drawing the same file; empty draws nothing.
        WidgetTexture texture;
    };

    static std::shared_ptr<Picture> create() { return std::shared_ptr<Picture>(new Picture()); }

    void draw(sf::RenderTarget& target) const override;

    Renderer renderer;

protected:
    Picture() = default;
    sf::Vector2f defaultSize(sf::Vector2f) const override;
};

} // namespace widgets
