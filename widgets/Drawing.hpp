#pragma once

#include <optional>
#include <string>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/View.hpp>

#include "widgets/Borders.hpp"
#include "widgets/WidgetTexture.hpp"

// Drawing steps shared by the widgets (all in GUI pixels).
namespace widgets::drawing {

// Fills the rectangle inside the borders and draws the borders around it.
void box(sf::RenderTarget& target, const sf::FloatRect& rect, sf::Color fill, const Borders& borders,
         sf::Color borderColor);
// Draws the texture's part over the rectangle: stretched whole, or in nine
// slices around its middle rectangle (see WidgetTexture). Nothing when empty.
void textured(sf::RenderTarget& target, const WidgetTexture& texture, const sf::FloatRect& rect);
// A text in the cache's font, from UTF-8, in the style (sf::Text::Style bits).
// Without a font, a text that draws nothing.
sf::Text text(const std::string& utf8, unsigned int characterSize, sf::Color color,
              sf::Uint32 style = sf::Text::Regular);
// Moves the text so that its glyphs are centred on the point, at whole pixels.
void centre(sf::Text& text, sf::Vector2f point);
// Moves the text so that its capital letters are centred vertically on `y`,
// starting at `left` (whole pixels).
void placeLeft(sf::Text& text, float left, float y);

// While it lives, drawing on the target is clipped to the rectangle (GUI
// pixels, within the clip already in force); the previous view comes back
// when it ends. Nested scopes clip to the intersection.
class ClipScope {
public:
    ClipScope(sf::RenderTarget& target, const sf::FloatRect& rect);
    ~ClipScope();
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;
    // False when nothing of the rectangle is visible: the caller may skip drawing.
    bool visible() const { return isVisible; }

private:
    sf::RenderTarget& target;
    sf::View previous;
    bool isVisible = false;
};

// A renderer value for a look (hover, down...): the look's own value, else the
// normal one, else the built-in one.
template <class Value>
Value pick(const std::optional<Value>& specific, const std::optional<Value>& normal, const Value& builtIn) {
    return specific ? *specific : normal ? *normal : builtIn;
}

} // namespace widgets::drawing
