#pragma once

namespace widgets {

// Border widths in pixels, drawn inside the widget's rectangle.
struct Borders {
    Borders() = default;
    explicit Borders(float all) : left(all), top(all), right(all), bottom(all) {}
    Borders(float left, float top, float right, float bottom)
        : left(left), top(top), right(right), bottom(bottom) {}

    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

} // namespace widgets
