#pragma once

#include <memory>
#include <optional>
#include <string>

#include <SFML/Graphics/Color.hpp>

#include "widgets/Borders.hpp"
#include "widgets/Clickable.hpp"
#include "widgets/WidgetTexture.hpp"

namespace widgets {

// A box with centred text that the player clicks. It has four looks: normal,
// hover (mouse over it), down (pressed and the mouse still over it) and
// disabled. `onPress` fires when the left button, pressed on the button, is
// released over it. Default size 200 x 50 pixels.
class Button : public Clickable {
public:
    // How each look is drawn. A look left empty falls back to the normal look,
    // and a normal look left empty to the built-in one. A texture, when set,
    // is stretched over the button in place of the background colour.
    struct Renderer {
        std::optional<sf::Color> textColor, textColorHover, textColorDown, textColorDisabled;
        std::optional<sf::Color> backgroundColor, backgroundColorHover, backgroundColorDown,
            backgroundColorDisabled;
        std::optional<sf::Color> borderColor, borderColorHover, borderColorDown;
        std::optional<Borders> borders;
        // sf::Text::Style bits; regular by default.
        std::optional<sf::Uint32> textStyle;
        WidgetTexture texture, textureHover, textureDown, textureDisabled;
    };

    static std::shared_ptr<Button> create() { return std::shared_ptr<Button>(new Button()); }

    // UTF-8.
    void setText(const std::string& text) { this->text = text; }
    const std::string& getText() const { return text; }
    // Pixels; 0 fits the text to the button's height.
    void setTextSize(unsigned int size) { textSize = size; }
    unsigned int getTextSize() const { return textSize; }
    // Pressed and the mouse still over it.
    bool isDown() const { return down && hovered; }

    void draw(sf::RenderTarget& target) const override;

    Renderer renderer;
    Signal<> onPress;

protected:
    Button() = default;
    // A click, or Enter or Space while it has the keyboard.
    void activate() override { onPress.emit(); }
    sf::Vector2f defaultSize(sf::Vector2f) const override { return {200.0f, 50.0f}; }

private:
    enum class Look { Normal, Hover, Down, Disabled };
    Look currentLook() const;

    std::string text;
    unsigned int textSize = 24;
};

} // namespace widgets
