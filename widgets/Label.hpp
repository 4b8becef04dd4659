#pragma once

#include <memory>
#include <optional>
#include <string>

#include <SFML/Graphics/Color.hpp>

#include "widgets/Widget.hpp"

namespace widgets {

// Text, one or more lines (split at '\n'), each line aligned left, centred or
// right within the label's width. Without a size it takes the size of its text.
class Label : public Widget {
public:
    enum class Alignment { Left, Center, Right };

    struct Renderer {
        std::optional<sf::Color> textColor;
        // Filled behind the text over the whole label; none by default.
        std::optional<sf::Color> backgroundColor;
        // sf::Text::Style bits; regular by default.
        std::optional<sf::Uint32> textStyle;
    };

    static std::shared_ptr<Label> create() { return std::shared_ptr<Label>(new Label()); }

    // UTF-8.
    void setText(const std::string& text) { this->text = text; }
    const std::string& getText() const { return text; }
    // Pixels.
    void setTextSize(unsigned int size) { textSize = size; }
    unsigned int getTextSize() const { return textSize; }
    void setHorizontalAlignment(Alignment alignment) { this->alignment = alignment; }
    Alignment getHorizontalAlignment() const { return alignment; }

    void draw(sf::RenderTarget& target) const override;

    Renderer renderer;

protected:
    Label() = default;
    sf::Vector2f defaultSize(sf::Vector2f) const override;

private:
    std::string text;
    unsigned int textSize = 24;
    Alignment alignment = Alignment::Left;
};

} // namespace widgets
