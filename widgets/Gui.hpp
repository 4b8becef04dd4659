#pragma once

#include <memory>
#include <string>
#include <vector>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/View.hpp>
#include <SFML/Window/Event.hpp>

#include "widgets/Group.hpp"

namespace widgets {

// The root of a widget tree drawn on one render target (usually the window).
// It keeps its own view matching the target's size in pixels, follows the
// window when it is resized (percent layouts follow, mouse positions keep
// hitting the right widget), and turns window events into the widgets' mouse
// notifications and signals. Signal handlers run inside `handleEvent`.
class Gui {
public:
    Gui();
    // Same as `setTarget`.
    explicit Gui(sf::RenderTarget& target);
    Gui(const Gui&) = delete;
    Gui& operator=(const Gui&) = delete;
    // Moves keep the widget tree and the (observed) target.
    Gui(Gui&&) = default;
    Gui& operator=(Gui&&) = default;

    // The target is observed: it must outlive the Gui or be replaced first.
    void setTarget(sf::RenderTarget& target);
    sf::RenderTarget* getTarget() const { return target; }
    // The GUI's own area in pixels (the target's size unless resized since).
    void setSize(sf::Vector2f size);
    sf::Vector2f getSize() const { return view.getSize(); }
    // Where on the target the GUI's area is drawn (fractions of the target,
    // as an sf::View's viewport; the whole target by default). Events are
    // taken in the GUI's own pixels: the caller maps the target's pixels.
    void setViewport(const sf::FloatRect& viewport) { view.setViewport(viewport); }

    // The root group covers the whole area.
    const std::shared_ptr<Group>& getRoot() const { return root; }
    void add(const std::shared_ptr<Widget>& widget, const std::string& name = "") { root->add(widget, name); }
    std::shared_ptr<Widget> get(const std::string& name) const { return root->get(name); }

    // Handles mouse moves, left button presses and releases, the mouse wheel,
    // the mouse leaving the window, keys and typed text (to the focused
    // widget), focus loss and resizing. True when the event was on a widget
    // or went to the focused one.
    bool handleEvent(const sf::Event& event);
    // Advances the GUI's clock by `seconds` (tool tips appear after the mouse
    // rested on a widget long enough). Called once a frame.
    void update(float seconds);
    // Draws every visible widget on the target through the GUI's view, then
    // the tool tip if one is due; the target's own view is put back afterwards.
    void draw();

    // The widget under the mouse at the last event, if still there.
    std::shared_ptr<Widget> getHovered() const { return hovered.lock(); }
    // The widget that receives keys and text: the last focusable widget
    // pressed, while it is shown and enabled; empty otherwise.
    std::shared_ptr<Widget> getFocused() const;
    // Gives the keyboard to the widget (empty: to none).
    void setFocused(const std::shared_ptr<Widget>& widget);
    // Menus by keyboard: the arrows (and W/A/S/D) move the focus to the
    // nearest shown control that way (see neighbourTowards), keeping to the
    // focused control's section (Group::focusSection); Tab and Shift+Tab go
    // through the controls in reading order, or, while several sections are
    // shown, from one section to the next (to the control last focused
    // there). A focused control keeps the keys it wants (a slider its Left
    // and Right, an edit box its letters); Enter and Space press. The
    // focused control is outlined and looks and sounds as if the mouse were
    // on it; the mouse coming onto a control moves the focus there. At most
    // one control looks chosen: the hover look stays only on the focused
    // control or on the one the mouse is really over, never on two.
    //
    // A page that just opened: the focus goes to its first control, unless
    // the mouse is really over a shown control that has the focus and the
    // hover look (it keeps them); any other hover look is dropped.
    void focusFirstIn(const Widget& page);
    // The shown, enabled controls of `within` in the order the keys go through them.
    std::vector<std::shared_ptr<Widget>> focusOrder(const Widget& within) const;
    // The tool tip being shown now, if any.
    std::shared_ptr<Widget> getShownToolTip() const;

private:
    // Sends leave and enter notifications when the widget under the mouse changes.
    std::shared_ptr<Widget> updateHovered(sf::Vector2f point);
    void cancelPress();
    enum class KeyMove { none, next, previous, up, down, left, right };
    static KeyMove keyMove(const sf::Event::KeyEvent& key);
    void moveFocus(KeyMove move);
    // Reading order through `controls`, `step` places on, wrapping.
    std::shared_ptr<Widget> stepThrough(const std::vector<std::shared_ptr<Widget>>& controls, int step) const;
    // Tab while several sections are shown; false when fewer are.
    bool moveToSection(int step);
    // The nearest group around the widget that is a section; the root otherwise.
    const Widget& sectionOf(const Widget& widget) const;
    void focusByKeyboard(const std::shared_ptr<Widget>& widget);
    // The hover look, given by the Gui (the mouse or the keyboard), and taken
    // off every control that has it but `keep`.
    void light(const std::shared_ptr<Widget>& widget);
    void dimAllBut(const std::shared_ptr<Widget>& keep);
    // Whether the mouse, where it was last seen, is on this shown widget.
    bool mouseIsOn(const std::shared_ptr<Widget>& widget) const;

    sf::RenderTarget* target = nullptr;
    sf::View view;
    std::shared_ptr<Group> root;
    std::weak_ptr<Widget> hovered;
    // The widget on which the left button went down; it follows the mouse
    // (a slider being dragged) until the button comes up.
    std::weak_ptr<Widget> pressed;
    std::weak_ptr<Widget> focused;
    // The controls given the hover look and not yet dimmed.
    std::vector<std::weak_ptr<Widget>> lit;
    // The controls focused lately, the latest last: Tab back into a section
    // finds the one it left.
    std::vector<std::weak_ptr<Widget>> recentlyFocused;
    // Where the mouse was last seen, and for how long (seconds) it has rested
    // on the widget under it.
    sf::Vector2f mouse;
    float restingTime = 0.0f;
};

} // namespace widgets
