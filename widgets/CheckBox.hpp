#pragma once

#include <memory>
#include <optional>
#include <string>

#include <SFML/Graphics/Color.hpp>

#include "widgets/Borders.hpp"
#include "widgets/Clickable.hpp"

namespace widgets {

// A box that is checked or not, with a text beside it. The size is the box's;
// the text lies to its right and takes the mouse too. A left click (pressed
// and released over it) or Space while it has the keyboard toggles it.
// Default size 24 x 24 pixels.
class CheckBox : public Clickable {
public:
    struct Renderer {
        std::optional<sf::Color> textColor, textColorHover, textColorDisabled;
        std::optional<sf::Color> backgroundColor, backgroundColorHover, backgroundColorDisabled;
        std::optional<sf::Color> borderColor, borderColorHover, borderColorFocused;
        std::optional<sf::Color> checkColor, checkColorHover, checkColorDisabled;
        std::optional<Borders> borders;
        // Space between the box and the text, as a share of the box's width; 0.2 by default.
        std::optional<float> textDistanceRatio;
        // sf::Text::Style bits; regular by default.
        std::optional<sf::Uint32> textStyle;
    };

    static std::shared_ptr<CheckBox> create() { return std::shared_ptr<CheckBox>(new CheckBox()); }

    // Emits onCheck or onUncheck, then onChange, when the state changes.
    virtual void setChecked(bool checked);
    bool isChecked() const { return checked; }
    // UTF-8.
    void setText(const std::string& text) { this->text = text; }
    const std::string& getText() const { return text; }
    // Pixels; 0 fits the text to the box's height.
    void setTextSize(unsigned int size) { textSize = size; }
    unsigned int getTextSize() const { return textSize; }

    bool contains(sf::Vector2f point) const override;
    void draw(sf::RenderTarget& target) const override;

    Renderer renderer;
    Signal<> onCheck;
    Signal<> onUncheck;
    Signal<bool> onChange;

protected:
    CheckBox() = default;
    sf::Vector2f defaultSize(sf::Vector2f) const override { return {24.0f, 24.0f}; }
    // What a click or Space does: a check box flips, a radio button only checks.
    virtual void toggle() { setChecked(!checked); }
    void activate() override { toggle(); }
    // Space only, as check boxes usually take it.
    bool activatedBy(sf::Keyboard::Key key) const override { return key == sf::Keyboard::Space; }
    // The mark inside the box.
    virtual void drawMark(sf::RenderTarget& target, const sf::FloatRect& inner, sf::Color color) const;

private:
    // The box and the text beside it (GUI pixels).
    sf::FloatRect clickableRect() const;
    unsigned int effectiveTextSize() const;

    bool checked = false;
    std::string text;
    unsigned int textSize = 0;
};

} // namespace widgets
