#pragma once

#include <memory>
#include <optional>

#include <SFML/Graphics/Color.hpp>

#include "widgets/Borders.hpp"
#include "widgets/Group.hpp"
#include "widgets/WidgetTexture.hpp"

namespace widgets {

// A group with a look: a background (colour or stretched texture) inside
// borders. Its children are placed inside the borders and clipped to that
// area, and unlike a plain group it takes the mouse where it is drawn, so a
// click on its background does not reach what lies under it.
// Default size: the whole parent; no borders; built-in dark background.
class Panel : public Group {
public:
    struct Renderer {
        std::optional<sf::Color> backgroundColor, borderColor;
        std::optional<Borders> borders;
        WidgetTexture textureBackground;
    };

    static std::shared_ptr<Panel> create() { return std::shared_ptr<Panel>(new Panel()); }

    // Pixels inside the borders.
    float innerExtentAlong(LayoutAxis axis) const override;
    bool contains(sf::Vector2f point) const override;
    // Children are only found inside the inner area, where they are drawn.
    std::shared_ptr<Widget> widgetAt(sf::Vector2f point) const override;
    void draw(sf::RenderTarget& target) const override;

    Renderer renderer;

protected:
    Panel() = default;
    bool catchesMouse() const override { return true; }
    sf::Vector2f innerOffset() const override;
    Borders borders() const;
    // Draws the background and borders over `rect`, then the children clipped to the inner area.
    void drawFramed(sf::RenderTarget& target, const sf::FloatRect& rect, const Borders& frame) const;
};

} // namespace widgets
