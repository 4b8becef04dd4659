#pragma once

#include <memory>
#include <optional>
#include <string>

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTarget.hpp>

#include <SFML/Window/Event.hpp>

#include "widgets/Layout.hpp"
#include "widgets/Signal.hpp"

namespace widgets {

class Group;

// Base of every widget: a rectangle placed in its parent (pixels or percent of
// the parent's size), visible or not, enabled or not. Widgets are held by
// shared pointer; a widget observes its parent, which owns it.
//
// Mouse positions given to the widget are in GUI pixels (the Gui's view),
// the same space as `getAbsoluteRect`.
class Widget {
public:
    virtual ~Widget() = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // The name under which the parent holds it; empty when unnamed.
    const std::string& getName() const { return name; }
    Group* getParent() const { return parent; }

    void setPosition(const Layout2d& position) { this->position = position; }
    const Layout2d& getPosition() const { return position; }
    void setSize(const Layout2d& size) { this->size = size; }
    // In pixels: the size given, resolved against the parent, or the widget's own default.
    sf::Vector2f getSize() const;
    // In pixels: the area inside the widget that its children and percentages
    // refer to (inside borders and title bars); the whole size by default.
    sf::Vector2f getInnerSize() const;
    // In pixels, relative to the parent's inner area.
    sf::Vector2f getPositionInParent() const;

    // The same, one axis at a time. Layout references need one axis only,
    // and working out both at every level up a chain of relative sizes
    // would double the work per level.
    float extentAlong(LayoutAxis axis) const;
    virtual float innerExtentAlong(LayoutAxis axis) const { return extentAlong(axis); }
    float positionAlong(LayoutAxis axis) const;
    // In GUI pixels.
    sf::FloatRect getAbsoluteRect() const;

    void setVisible(bool visible) { this->visible = visible; }
    bool isVisible() const { return visible; }
    // A disabled widget takes its disabled look and ignores the mouse.
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled; }

    // Whether the point (GUI pixels) lies on the widget.
    virtual bool contains(sf::Vector2f point) const;
    virtual void draw(sf::RenderTarget& target) const = 0;

    // Mouse notifications, sent by the Gui.
    virtual void mouseEntered();
    virtual void mouseLeft();
    virtual void mouseMoved(sf::Vector2f) {}
    virtual void leftPressed(sf::Vector2f) {}
    // `over`: the release happened on this widget.
    virtual void leftReleased(sf::Vector2f, bool /*over*/) {}
    // The press that started on this widget will not be released to it.
    virtual void pressCancelled() {}
    // The mouse wheel turned over the widget (`delta` in notches, positive
    // away from the user). True when the widget used it; otherwise the Gui
    // offers it to the parent.
    virtual bool mouseWheelScrolled(float /*delta*/) { return false; }

    // Keyboard notifications, sent by the Gui to the focused widget only.
    // Whether a left press on the widget gives it the keyboard.
    virtual bool isFocusable() const { return false; }
    bool isFocused() const { return focused; }
    virtual void focusGained() { focused = true; }
    virtual void focusLost() { focused = false; }
    virtual void keyPressed(const sf::Event::KeyEvent&) {}
    // Whether the focused widget keeps this key for itself (an edit box its
    // arrows, a slider Left and Right) rather than the GUI moving the focus
    // with it.
    virtual bool wantsKey(const sf::Event::KeyEvent&) const { return false; }
    // Keyboard navigation goes through a page's controls by this number
    // first (a form's FocusOrder), then in reading order.
    int focusOrder = 0;
    // One character typed (UTF-32), control characters included.
    virtual void textEntered(sf::Uint32) {}

    // A widget shown beside the mouse after the mouse has rested on this one
    // for `toolTipDelay` seconds (owned; not part of the widget tree).
    std::shared_ptr<Widget> toolTip;
    float toolTipDelay = 0.5f;
    // Pixels from the mouse to the tool tip's top-left corner.
    sf::Vector2f toolTipOffset{0.0f, 20.0f};

    bool isHovered() const { return hovered; }

    Signal<> onMouseEnter;
    Signal<> onMouseLeave;

protected:
    Widget() = default;
    // The size of a widget whose size was never set (pixels). Each axis may
    // depend on the parent's inner extent along that axis only (it is asked
    // one axis at a time, the other axis of `parentSize` then being 0).
    virtual sf::Vector2f defaultSize(sf::Vector2f parentSize) const = 0;
    sf::Vector2f parentSize() const;
    float parentExtentAlong(LayoutAxis axis) const;

    // The top-left corner of the inner area, from the widget's own corner (pixels).
    virtual sf::Vector2f innerOffset() const { return {}; }

    bool hovered = false;
    bool focused = false;

private:
    friend class Group;

    std::string name;
    Group* parent = nullptr;
    Layout2d position;
    std::optional<Layout2d> size;
    bool visible = true;
    bool enabled = true;
};

} // namespace widgets
