#pragma once

#include <memory>

#include "widgets/CheckBox.hpp"

namespace widgets {

class Group;

// A check box of a group: the radio buttons with the same parent form one
// group, and checking one unchecks the others. A click on a checked radio
// button leaves it checked. Drawn with a round mark.
class RadioButton : public CheckBox {
public:
    static std::shared_ptr<RadioButton> create() { return std::shared_ptr<RadioButton>(new RadioButton()); }

    void setChecked(bool checked) override;
    // Leaves at most one radio button of the group's direct children checked:
    // the last one that is (for groups filled while the buttons were already
    // checked, as a form is).
    static void settleGroup(const Group& group);

protected:
    RadioButton() = default;
    void toggle() override { setChecked(true); }
    void drawMark(sf::RenderTarget& target, const sf::FloatRect& inner, sf::Color color) const override;
};

} // namespace widgets
