#include "widgets/Gui.hpp"

namespace widgets {

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
        if (before && before->isHovered()) {
            before->mouseLeft();
        }
        hovered = now;
        if (now && now->isEnabled()) {
            now->mouseEntered();
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
        const auto under = updateHovered(point);
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

void Gui::draw() {
    if (!target) {
        return;
    }
    const sf::View previous = target->getView();
    target->setView(view);
    root->draw(*target);
    target->setView(previous);
}

} // namespace widgets
