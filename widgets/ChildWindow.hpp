#pragma once

#include <memory>
#include <optional>
#include <string>

#include "widgets/Panel.hpp"

namespace widgets {

// A panel with a title bar above its client area and, unless turned off, a
// close button at the right of the title bar. `Size` is the client area's
// size; the title bar and the borders come on top of it, and `Position` is
// the top-left corner of the whole window. The close button, pressed and
// released over it, emits `onClose` and hides the window.
class ChildWindow : public Panel {
public:
    enum class Alignment { Left, Center, Right };

    struct TitleRenderer {
        std::optional<sf::Color> titleBarColor, titleColor;
        // Pixels; 30 by default.
        std::optional<float> titleBarHeight;
    };

    static std::shared_ptr<ChildWindow> create() { return std::shared_ptr<ChildWindow>(new ChildWindow()); }

    // UTF-8.
    void setTitle(const std::string& title) { this->title = title; }
    const std::string& getTitle() const { return title; }
    void setTitleTextSize(unsigned int size) { titleTextSize = size; }
    void setTitleAlignment(Alignment alignment) { titleAlignment = alignment; }
    void setCloseButton(bool shown) { closeButton = shown; }
    bool hasCloseButton() const { return closeButton; }

    // The whole window: borders, title bar and client area (GUI pixels).
    sf::FloatRect getOuterRect() const;
    // The close button (GUI pixels); empty when there is none.
    sf::FloatRect getCloseButtonRect() const;

    float innerExtentAlong(LayoutAxis axis) const override { return extentAlong(axis); }
    bool contains(sf::Vector2f point) const override;
    void draw(sf::RenderTarget& target) const override;
    void leftPressed(sf::Vector2f point) override;
    void leftReleased(sf::Vector2f point, bool over) override;
    void pressCancelled() override { closePressed = false; }

    TitleRenderer titleRenderer;
    Signal<> onClose;

protected:
    ChildWindow() = default;
    sf::Vector2f innerOffset() const override;
    sf::Vector2f defaultSize(sf::Vector2f) const override { return {400.0f, 300.0f}; }

private:
    float titleBarHeight() const;

    std::string title;
    unsigned int titleTextSize = 18;
    Alignment titleAlignment = Alignment::Left;
    bool closeButton = true;
    bool closePressed = false;
};

} // namespace widgets
