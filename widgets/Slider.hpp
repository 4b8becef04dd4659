#pragma once

#include <memory>
#include <optional>

#include <SFML/Graphics/Color.hpp>

#include "widgets/Borders.hpp"
#include "widgets/Widget.hpp"

namespace widgets {

// A horizontal track with a thumb that picks a value between a minimum and a
// maximum, on whole steps from the minimum. Pressing on the track jumps the
// value there; dragging (also beyond the ends) moves it. `onValueChange` fires
// with the new value whenever the value changes. Default size 200 x 16 pixels.
class Slider : public Widget {
public:
    struct Renderer {
        std::optional<sf::Color> trackColor, trackColorHover, thumbColor, thumbColorHover, borderColor;
        std::optional<Borders> borders;
    };

    static std::shared_ptr<Slider> create() { return std::shared_ptr<Slider>(new Slider()); }

    // Raising the minimum above the maximum raises the maximum too (and the
    // other way round); the value is kept in range.
    void setMinimum(float minimum);
    float getMinimum() const { return minimum; }
    void setMaximum(float maximum);
    float getMaximum() const { return maximum; }
    // Clamped to the range and rounded to the nearest step.
    void setValue(float value);
    float getValue() const { return value; }
    // 0 or less: any value in the range.
    void setStep(float step);
    float getStep() const { return step; }

    bool contains(sf::Vector2f point) const override;
    void draw(sf::RenderTarget& target) const override;
    void mouseMoved(sf::Vector2f point) override;
    void leftPressed(sf::Vector2f point) override;
    void leftReleased(sf::Vector2f point, bool over) override;
    void pressCancelled() override { dragging = false; }

    Renderer renderer;
    // A focused slider moves one step with Left and Right (A and D); a held
    // key repeats.
    bool isFocusable() const override { return true; }
    bool wantsKey(const sf::Event::KeyEvent& key) const override;
    void keyPressed(const sf::Event::KeyEvent& key) override;

    Signal<float> onValueChange;

protected:
    Slider() = default;
    sf::Vector2f defaultSize(sf::Vector2f) const override { return {200.0f, 16.0f}; }

private:
    sf::FloatRect thumbRect() const;
    float valueAt(float x) const;

    float minimum = 0.0f;
    float maximum = 10.0f;
    float value = 0.0f;
    float step = 1.0f;
    bool dragging = false;
    // Where on the thumb it was grabbed (pixels from its centre), so that it
    // does not jump under the mouse.
    float grabOffset = 0.0f;
};

} // namespace widgets
