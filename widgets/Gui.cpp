#include "widgets/Gui.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include <SFML/Graphics/RectangleShape.hpp>

#include "widgets/FocusNavigation.hpp"

namespace widgets {

namespace {
// Visible itself and inside visible groups up to the root.
bool isShown(const Widget& widget) {
    for (const Widget* at = &widget; at; at = at->getParent()) {
        if (!at->isVisible()) {
            return false;
        }
    }
    return true;
}

// The widget's tool tip, or the nearest one of the groups around it.
const Widget* toolTipOwner(const Widget* widget) {
    for (const Widget* at = widget; at; at = at->getParent()) {
        if (at->toolTip) {
            return at;
        }
    }
    return nullptr;
}

bool isInside(const Widget& widget, const Widget& within) {
    for (const Widget* at = &widget; at; at = at->getParent()) {
        if (at == &within) {
            return true;
        }
    }
    return false;
}

// How many recently focused controls are remembered (sections shown at once are few).
constexpr size_t recentFocusKept = 16;
} // namespace

Gui::Gui() : root(Group::create()) {}

Gui::Gui(sf::RenderTarget& target) : Gui() {
    setTarget(target);
}

void Gui::setTarget(sf::RenderTarget& newTarget) {
    target = &newTarget;
    setSize(sf::Vector2f(newTarget.getSize()));
}

void Gui::setSize(sf::Vector2f size) {
    const sf::FloatRect viewport = view.getViewport();
    view.reset({0.0f, 0.0f, size.x, size.y});
    view.setViewport(viewport);
    root->setSize(Layout2d(size.x, size.y));
}

std::shared_ptr<Widget> Gui::updateHovered(sf::Vector2f point) {
    std::shared_ptr<Widget> now = root->widgetAt(point);
    const std::shared_ptr<Widget> before = hovered.lock();
    if (now != before) {
        restingTime = 0.0f;
        // The mouse's control now, if any, is the only one that looks chosen.
        dimAllBut(now && now->isEnabled() ? now : nullptr);
        hovered = now;
        if (now && now->isEnabled()) {
            light(now);
            if (now->isFocusable()) {
                setFocused(now);
            }
        }
    }
    return now;
}

void Gui::cancelPress() {
    if (const auto widget = pressed.lock()) {
        widget->pressCancelled();
    }
    pressed.reset();
}

bool Gui::handleEvent(const sf::Event& event) {
    switch (event.type) {
    case sf::Event::MouseMoved: {
        const sf::Vector2f point(static_cast<float>(event.mouseMove.x),
                                 static_cast<float>(event.mouseMove.y));
        mouse = point;
        restingTime = 0.0f;
        const auto under = updateHovered(point);
        if (const auto widget = pressed.lock()) {
            widget->mouseMoved(point);
        } else if (under && under->isEnabled()) {
            under->mouseMoved(point);
        }
        return static_cast<bool>(under);
    }
    case sf::Event::MouseButtonPressed: {
        if (event.mouseButton.button != sf::Mouse::Left) {
            return false;
        }
        const sf::Vector2f point(static_cast<float>(event.mouseButton.x),
                                 static_cast<float>(event.mouseButton.y));
        cancelPress();
        mouse = point;
        const auto under = updateHovered(point);
        // A press elsewhere takes the keyboard away, before the pressed widget hears of it.
        setFocused(under && under->isEnabled() && under->isFocusable() ? under : nullptr);
        if (under && under->isEnabled()) {
            pressed = under;
            under->leftPressed(point);
        }
        return static_cast<bool>(under);
    }
    case sf::Event::MouseButtonReleased: {
        if (event.mouseButton.button != sf::Mouse::Left) {
            return false;
        }
        const sf::Vector2f point(static_cast<float>(event.mouseButton.x),
                                 static_cast<float>(event.mouseButton.y));
        const auto under = updateHovered(point);
        const auto widget = pressed.lock();
        pressed.reset();
        // Only shown widgets are found under the mouse, so a button hidden
        // since the press does not fire.
        if (widget) {
            widget->leftReleased(point, widget == under);
        }
        return static_cast<bool>(under);
    }
    case sf::Event::MouseLeft:
        if (const auto widget = hovered.lock()) {
            if (widget->isHovered()) {
                widget->mouseLeft();
            }
        }
        hovered.reset();
        return false;
    case sf::Event::MouseWheelScrolled: {
        if (event.mouseWheelScroll.wheel != sf::Mouse::VerticalWheel) {
            return false;
        }
        const sf::Vector2f point(static_cast<float>(event.mouseWheelScroll.x),
                                 static_cast<float>(event.mouseWheelScroll.y));
        const auto under = updateHovered(point);
        // Offered to the widget under the mouse, then to the groups around it.
        for (Widget* at = under.get(); at; at = at->getParent()) {
            if (at->isEnabled() && at->mouseWheelScrolled(event.mouseWheelScroll.delta)) {
                return true;
            }
        }
        return static_cast<bool>(under);
    }
    case sf::Event::KeyPressed: {
        const auto widget = getFocused();
        if (widget && widget->wantsKey(event.key)) {
            widget->keyPressed(event.key);
            return true;
        }
        if (const KeyMove move = keyMove(event.key); move != KeyMove::none) {
            moveFocus(move);
            return true;
        }
        if (widget) {
            widget->keyPressed(event.key);
            return true;
        }
        return false;
    }
    case sf::Event::TextEntered:
        if (const auto widget = getFocused()) {
            widget->textEntered(event.text.unicode);
            return true;
        }
        return false;
    case sf::Event::LostFocus:
        cancelPress();
        return false;
    case sf::Event::Resized:
        setSize({static_cast<float>(event.size.width), static_cast<float>(event.size.height)});
        return false;
    default:
        return false;
    }
}

namespace {
// The controls that can take the keyboard, shown and enabled, in the tree's order.
void collectFocusable(const Widget& widget, std::vector<std::shared_ptr<Widget>>& found) {
    const auto* group = dynamic_cast<const Group*>(&widget);
    if (!group || !widget.isVisible() || !widget.isEnabled()) {
        return;
    }
    for (const auto& child : group->getWidgets()) {
        if (!child->isVisible() || !child->isEnabled()) {
            continue;
        }
        if (child->isFocusable()) {
            found.push_back(child);
        }
        collectFocusable(*child, found);
    }
}
} // namespace

Gui::KeyMove Gui::keyMove(const sf::Event::KeyEvent& key) {
    switch (key.code) {
    case sf::Keyboard::Tab:
        return key.shift ? KeyMove::previous : KeyMove::next;
    case sf::Keyboard::Down:
    case sf::Keyboard::S:
        return KeyMove::down;
    case sf::Keyboard::Right:
    case sf::Keyboard::D:
        return KeyMove::right;
    case sf::Keyboard::Up:
    case sf::Keyboard::W:
        return KeyMove::up;
    case sf::Keyboard::Left:
    case sf::Keyboard::A:
        return KeyMove::left;
    default:
        return KeyMove::none;
    }
}

std::vector<std::shared_ptr<Widget>> Gui::focusOrder(const Widget& within) const {
    std::vector<std::shared_ptr<Widget>> controls;
    collectFocusable(within, controls);
    // Reading order: rows from the top (widgets whose tops are within half a
    // row of each other share one), each row from the left. A form that sets
    // FocusOrder on its widgets is taken in that order first.
    std::stable_sort(controls.begin(), controls.end(), [](const auto& a, const auto& b) {
        if (a->focusOrder != b->focusOrder) {
            return a->focusOrder < b->focusOrder;
        }
        const sf::FloatRect ra = a->getAbsoluteRect();
        const sf::FloatRect rb = b->getAbsoluteRect();
        const float row = std::min(ra.height, rb.height) / 2.0f;
        if (std::abs(ra.top - rb.top) > row) {
            return ra.top < rb.top;
        }
        return ra.left < rb.left;
    });
    return controls;
}

const Widget& Gui::sectionOf(const Widget& widget) const {
    for (const Widget* at = widget.getParent(); at; at = at->getParent()) {
        if (const auto* group = dynamic_cast<const Group*>(at); group && group->focusSection) {
            return *group;
        }
    }
    return *root;
}

std::shared_ptr<Widget> Gui::stepThrough(const std::vector<std::shared_ptr<Widget>>& controls,
                                         int step) const {
    if (controls.empty()) {
        return nullptr;
    }
    const auto current = std::find(controls.begin(), controls.end(), getFocused());
    if (current == controls.end()) {
        return step > 0 ? controls.front() : controls.back();
    }
    const auto count = static_cast<std::ptrdiff_t>(controls.size());
    const auto at = (std::distance(controls.begin(), current) + step % count + count) % count;
    return controls[static_cast<size_t>(at)];
}

bool Gui::moveToSection(int step) {
    // The shown sections that have controls, in the reading order of their first ones.
    const auto controls = focusOrder(*root);
    std::vector<const Widget*> sections;
    for (const auto& control : controls) {
        const Widget* section = &sectionOf(*control);
        if (std::find(sections.begin(), sections.end(), section) == sections.end()) {
            sections.push_back(section);
        }
    }
    if (sections.size() < 2) {
        return false;
    }
    const auto current = getFocused();
    const auto from =
        current ? std::find(sections.begin(), sections.end(), &sectionOf(*current)) : sections.end();
    const auto count = static_cast<std::ptrdiff_t>(sections.size());
    const std::ptrdiff_t index = from == sections.end()
                                     ? (step > 0 ? 0 : count - 1)
                                     : (std::distance(sections.begin(), from) + step % count + count) % count;
    const Widget& section = *sections[static_cast<size_t>(index)];
    // Back to the control last focused there, if it is still one of the shown controls.
    for (auto it = recentlyFocused.rbegin(); it != recentlyFocused.rend(); ++it) {
        const auto widget = it->lock();
        if (widget && isInside(*widget, section) &&
            std::find(controls.begin(), controls.end(), widget) != controls.end()) {
            focusByKeyboard(widget);
            return true;
        }
    }
    focusByKeyboard(focusOrder(section).front());
    return true;
}

void Gui::moveFocus(KeyMove move) {
    if (move == KeyMove::next || move == KeyMove::previous) {
        const int step = move == KeyMove::next ? 1 : -1;
        if (!moveToSection(step)) {
            if (const auto next = stepThrough(focusOrder(*root), step)) {
                focusByKeyboard(next);
            }
        }
        return;
    }
    const int step = move == KeyMove::down || move == KeyMove::right ? 1 : -1;
    const auto current = getFocused();
    if (!current) {
        if (const auto first = stepThrough(focusOrder(*root), step)) {
            focusByKeyboard(first);
        }
        return;
    }
    // The arrows keep to the focused control's section.
    const auto controls = focusOrder(sectionOf(*current));
    const FocusDirection direction = move == KeyMove::up     ? FocusDirection::up
                                     : move == KeyMove::down ? FocusDirection::down
                                     : move == KeyMove::left ? FocusDirection::left
                                                             : FocusDirection::right;
    auto next = neighbourTowards(controls, *current, direction);
    if (!next) {
        // Nothing that way, not even by wrapping (a lone column and Right): reading order.
        next = stepThrough(controls, step);
    }
    if (next) {
        focusByKeyboard(next);
    }
}

bool Gui::mouseIsOn(const std::shared_ptr<Widget>& widget) const {
    return widget && isShown(*widget) && root->widgetAt(mouse) == widget;
}

void Gui::focusFirstIn(const Widget& page) {
    // The page starts afresh: Tab into it later finds its first control.
    recentlyFocused.erase(std::remove_if(recentlyFocused.begin(), recentlyFocused.end(),
                                         [&page](const std::weak_ptr<Widget>& entry) {
                                             const auto widget = entry.lock();
                                             return !widget || isInside(*widget, page);
                                         }),
                          recentlyFocused.end());
    const auto underMouse = hovered.lock();
    if (underMouse && underMouse->isHovered() && underMouse->isEnabled() && underMouse->isFocusable() &&
        underMouse == focused.lock() && mouseIsOn(underMouse)) {
        // The mouse is really on the chosen control, which stays: it keeps the choice.
        dimAllBut(underMouse);
        return;
    }
    if (!mouseIsOn(underMouse)) {
        // Gone with its page (or the page opened over it): the mouse coming
        // back onto it lights it again.
        hovered.reset();
    }
    // Outlined only: a page opening is not the mouse arriving (no hover sound).
    dimAllBut(nullptr);
    const auto controls = focusOrder(page);
    setFocused(controls.empty() ? nullptr : controls.front());
}

void Gui::focusByKeyboard(const std::shared_ptr<Widget>& widget) {
    // The control looks and sounds as if the mouse came onto it, and only it looks chosen.
    dimAllBut(widget);
    setFocused(widget);
    if (widget) {
        light(widget);
    }
}

void Gui::light(const std::shared_ptr<Widget>& widget) {
    if (!widget->isHovered()) {
        widget->mouseEntered();
    }
    lit.push_back(widget);
}

void Gui::dimAllBut(const std::shared_ptr<Widget>& keep) {
    // Taken out of the list first: a leave handler may light another control.
    std::vector<std::weak_ptr<Widget>> before;
    before.swap(lit);
    for (const auto& entry : before) {
        const auto widget = entry.lock();
        if (!widget) {
            continue;
        }
        if (widget == keep) {
            lit.push_back(widget);
        } else if (widget->isHovered()) {
            widget->mouseLeft();
        }
    }
}

std::shared_ptr<Widget> Gui::getFocused() const {
    auto widget = focused.lock();
    return widget && widget->isEnabled() && isShown(*widget) ? widget : nullptr;
}

void Gui::setFocused(const std::shared_ptr<Widget>& widget) {
    const auto before = focused.lock();
    if (before == widget) {
        return;
    }
    focused = widget;
    if (before) {
        before->focusLost();
    }
    if (widget) {
        recentlyFocused.erase(std::remove_if(recentlyFocused.begin(), recentlyFocused.end(),
                                             [&widget](const std::weak_ptr<Widget>& entry) {
                                                 return entry.expired() || entry.lock() == widget;
                                             }),
                              recentlyFocused.end());
        if (recentlyFocused.size() >= recentFocusKept) {
            recentlyFocused.erase(recentlyFocused.begin());
        }
        recentlyFocused.push_back(widget);
        widget->focusGained();
    }
}

void Gui::update(float seconds) {
    restingTime += seconds;
}

std::shared_ptr<Widget> Gui::getShownToolTip() const {
    const auto under = hovered.lock();
    if (!under || !isShown(*under) || pressed.lock()) {
        return nullptr;
    }
    const Widget* owner = toolTipOwner(under.get());
    if (!owner || restingTime < owner->toolTipDelay) {
        return nullptr;
    }
    return owner->toolTip;
}

void Gui::draw() {
    if (!target) {
        return;
    }
    const sf::View previous = target->getView();
    target->setView(view);
    root->draw(*target);
    if (const auto widget = getFocused()) {
        const sf::FloatRect rect = widget->getAbsoluteRect();
        sf::RectangleShape outline({rect.width + 8.0f, rect.height + 8.0f});
        outline.setPosition(rect.left - 4.0f, rect.top - 4.0f);
        outline.setFillColor(sf::Color::Transparent);
        outline.setOutlineColor(sf::Color(255, 214, 110));
        outline.setOutlineThickness(3.0f);
        target->draw(outline);
    }
    if (const auto tip = getShownToolTip()) {
        const Widget* owner = toolTipOwner(hovered.lock().get());
        // Kept inside the GUI's area where it fits.
        const sf::Vector2f size = tip->getSize();
        sf::Vector2f at = mouse + owner->toolTipOffset;
        at.x = std::max(0.0f, std::min(at.x, getSize().x - size.x));
        at.y = std::max(0.0f, std::min(at.y, getSize().y - size.y));
        tip->setPosition(Layout2d(at.x, at.y));
        tip->draw(*target);
    }
    target->setView(previous);
}

} // namespace widgets
