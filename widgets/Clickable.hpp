#pragma once

#include "widgets/Widget.hpp"

namespace widgets {

// A widget that acts when clicked: the left button pressed on it and let go
// over it (a press that ends elsewhere or is cancelled does nothing), or one
// of its keys while it has the keyboard. Buttons and check boxes are.
class Clickable : public Widget {
public:
    void leftPressed(sf::Vector2f) override { down = true; }
    void leftReleased(sf::Vector2f point, bool over) override;
    void pressCancelled() override { down = false; }
    bool isFocusable() const override { return true; }
    void keyPressed(const sf::Event::KeyEvent& key) override;

protected:
    Clickable() = default;
    // What a click does; only called while enabled.
    virtual void activate() = 0;
    // The keys that click it: Enter and Space.
    virtual bool activatedBy(sf::Keyboard::Key key) const {
        return key == sf::Keyboard::Enter || key == sf::Keyboard::Space;
    }

    // The left button went down on it and has not come up yet.
    bool down = false;
};

} // namespace widgets
