#include "widgets/Group.hpp"

#include <cassert>

namespace widgets {

void Group::add(const std::shared_ptr<Widget>& widget, const std::string& name) {
    assert(widget && "Group::add needs a widget");
    assert(!widget->parent && "a widget can only be in one group");
    assert(widget.get() != this && "a group cannot contain itself");
    widget->parent = this;
    widget->name = name;
    widgets.push_back(widget);
}

void Group::releaseAll() {
    for (const auto& widget : widgets) {
        widget->parent = nullptr;
    }
    widgets.clear();
}

std::shared_ptr<Widget> Group::getDirect(const std::string& name) const {
    for (const auto& widget : widgets) {
        if (widget->getName() == name) {
            return widget;
        }
    }
    return nullptr;
}

std::shared_ptr<Widget> Group::get(const std::string& name) const {
    for (const auto& widget : widgets) {
        if (widget->getName() == name) {
            return widget;
        }
    }
    for (const auto& widget : widgets) {
        if (const auto group = std::dynamic_pointer_cast<Group>(widget)) {
            if (auto found = group->get(name)) {
                return found;
            }
        }
    }
    return nullptr;
}

std::shared_ptr<Widget> Group::widgetAt(sf::Vector2f point) const {
    for (auto it = widgets.rbegin(); it != widgets.rend(); ++it) {
        const auto& widget = *it;
        if (!widget->isVisible()) {
            continue;
        }
        if (const auto group = std::dynamic_pointer_cast<Group>(widget)) {
            if (auto found = group->widgetAt(point)) {
                return found;
            }
            if (group->catchesMouse() && group->contains(point)) {
                return widget;
            }
        } else if (widget->contains(point)) {
            return widget;
        }
    }
    return nullptr;
}

bool Group::contains(sf::Vector2f point) const {
    return static_cast<bool>(widgetAt(point));
}

void Group::draw(sf::RenderTarget& target) const {
    drawChildren(target);
}

void Group::drawChildren(sf::RenderTarget& target) const {
    for (const auto& widget : widgets) {
        if (widget->isVisible()) {
            widget->draw(target);
        }
    }
}

} // namespace widgets
