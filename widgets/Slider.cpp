#include "widgets/Slider.hpp"

#include <algorithm>
#include <cmath>

#include "widgets/Drawing.hpp"

namespace widgets {

namespace {
const sf::Color defaultTrack(55, 58, 72, 230);
const sf::Color defaultTrackHover(72, 76, 96, 235);
const sf::Color defaultThumb(215, 215, 225);
const sf::Color defaultThumbHover(255, 255, 255);
const sf::Color defaultBorder(20, 20, 26);
const float defaultBorderWidth = 1.0f;
} // namespace

void Slider::setMinimum(float newMinimum) {
    minimum = newMinimum;
    maximum = std::max(maximum, minimum);
    setValue(value);
}

void Slider::setMaximum(float newMaximum) {
    maximum = newMaximum;
    minimum = std::min(minimum, maximum);
    setValue(value);
}

void Slider::setStep(float newStep) {
    step = std::max(newStep, 0.0f);
    setValue(value);
}

void Slider::setValue(float newValue) {
    float snapped = std::clamp(newValue, minimum, maximum);
    if (step > 0.0f) {
        const float wanted = snapped;
        snapped = std::min(minimum + std::round((wanted - minimum) / step) * step, maximum);
        // A range that is not a whole number of steps ends in a shorter step.
        if (maximum - wanted < std::abs(wanted - snapped)) {
            snapped = maximum;
        }
    }
    if (snapped != value) {
        value = snapped;
        onValueChange.emit(value);
    }
}

sf::FloatRect Slider::thumbRect() const {
    const sf::FloatRect track = getAbsoluteRect();
    const float thumbWidth = std::max(track.height, 8.0f);
    const float thumbHeight = track.height * 1.6f;
    const float ratio = maximum > minimum ? (value - minimum) / (maximum - minimum) : 0.0f;
    const float centreX = track.left + ratio * track.width;
    return {centreX - thumbWidth / 2.0f, track.top + (track.height - thumbHeight) / 2.0f, thumbWidth,
            thumbHeight};
}

float Slider::valueAt(float x) const {
    const sf::FloatRect track = getAbsoluteRect();
    if (track.width <= 0.0f) {
        return minimum;
    }
    const float ratio = std::clamp((x - track.left) / track.width, 0.0f, 1.0f);
    return minimum + ratio * (maximum - minimum);
}

bool Slider::contains(sf::Vector2f point) const {
    return getAbsoluteRect().contains(point) || thumbRect().contains(point);
}

void Slider::draw(sf::RenderTarget& target) const {
    const Renderer& r = renderer;
    const bool highlighted = hovered || dragging;
    const Borders borders = r.borders.value_or(Borders(defaultBorderWidth));
    const sf::Color border = r.borderColor.value_or(defaultBorder);
    sf::Color track = r.trackColor.value_or(defaultTrack);
    sf::Color thumb = r.thumbColor.value_or(defaultThumb);
    if (highlighted) {
        track = drawing::pick(r.trackColorHover, r.trackColor, defaultTrackHover);
        thumb = drawing::pick(r.thumbColorHover, r.thumbColor, defaultThumbHover);
    }
    if (!isEnabled()) {
        track.a /= 2;
        thumb.a /= 2;
    }
    drawing::box(target, getAbsoluteRect(), track, borders, border);
    drawing::box(target, thumbRect(), thumb, borders, border);
}

void Slider::leftPressed(sf::Vector2f point) {
    dragging = true;
    const sf::FloatRect thumb = thumbRect();
    // Grabbing the thumb keeps it where it is; pressing the track jumps there.
    grabOffset = thumb.contains(point) ? point.x - (thumb.left + thumb.width / 2.0f) : 0.0f;
    setValue(valueAt(point.x - grabOffset));
}

void Slider::mouseMoved(sf::Vector2f point) {
    if (dragging) {
        setValue(valueAt(point.x - grabOffset));
    }
}

void Slider::leftReleased(sf::Vector2f, bool) {
    dragging = false;
}

namespace {
int sliderDirection(sf::Keyboard::Key code) {
    if (code == sf::Keyboard::Left || code == sf::Keyboard::A) {
        return -1;
    }
    return code == sf::Keyboard::Right || code == sf::Keyboard::D ? 1 : 0;
}
} // namespace

bool Slider::wantsKey(const sf::Event::KeyEvent& key) const {
    return sliderDirection(key.code) != 0;
}

void Slider::keyPressed(const sf::Event::KeyEvent& key) {
    const int direction = sliderDirection(key.code);
    if (direction != 0 && isEnabled()) {
        // A step of 0 means any value: a hundredth of the range then.
        const float stride = step > 0.0f ? step : (maximum - minimum) / 100.0f;
        setValue(getValue() + static_cast<float>(direction) * stride);
    }
}

} // namespace widgets
