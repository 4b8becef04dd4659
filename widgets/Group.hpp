#pragma once

#include <memory>
#include <string>
#include <vector>

#include "widgets/Widget.hpp"

namespace widgets {

// A container: holds widgets (owned) and places them relative to its own
// rectangle. Draws nothing itself and lets the mouse through to what lies
// under it; its children are drawn in the order added, later ones on top.
// Default size: the whole parent.
class Group : public Widget {
public:
    static std::shared_ptr<Group> create() { return std::shared_ptr<Group>(new Group()); }

    // Takes ownership of a widget that has no parent yet.
    void add(const std::shared_ptr<Widget>& widget, const std::string& name = "");
    // Lets go of every child (they keep their names and may be added elsewhere).
    void releaseAll();
    // The first widget of that name, looked for among the children first and
    // then inside child groups; empty when there is none.
    std::shared_ptr<Widget> get(const std::string& name) const;
    template <class WidgetType> std::shared_ptr<WidgetType> get(const std::string& name) const {
        return std::dynamic_pointer_cast<WidgetType>(get(name));
    }
    // The direct child of that name; empty when there is none.
    std::shared_ptr<Widget> getDirect(const std::string& name) const;
    const std::vector<std::shared_ptr<Widget>>& getWidgets() const { return widgets; }

    // The topmost visible widget (not a group) under the point, or empty.
    virtual std::shared_ptr<Widget> widgetAt(sf::Vector2f point) const;

    bool contains(sf::Vector2f point) const override;
    void draw(sf::RenderTarget& target) const override;

    // A part of the screen the keyboard treats as one: the arrow keys keep
    // to its controls, and Tab goes from one shown section to the next when
    // several are shown together (a column of tabs beside a page).
    bool focusSection = false;

protected:
    friend class Widget;
    // Whether the group itself takes the mouse where none of its children
    // does (a panel); a plain group lets it through.
    virtual bool catchesMouse() const { return false; }
    // Draws the children only.
    void drawChildren(sf::RenderTarget& target) const;
    Group() = default;
    sf::Vector2f defaultSize(sf::Vector2f parentSize) const override { return parentSize; }

private:
    std::vector<std::shared_ptr<Widget>> widgets;
};

} // namespace widgets
