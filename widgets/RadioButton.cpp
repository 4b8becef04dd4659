#include "widgets/RadioButton.hpp"

#include <algorithm>

#include <SFML/Graphics/CircleShape.hpp>

#include "widgets/Group.hpp"

namespace widgets {

void RadioButton::setChecked(bool checked) {
    if (checked && getParent()) {
        // The others first, so that handlers of this one's signals see one checked button.
        for (const auto& sibling : getParent()->getWidgets()) {
            auto radio = std::dynamic_pointer_cast<RadioButton>(sibling);
            if (radio && radio.get() != this) {
                radio->CheckBox::setChecked(false);
            }
        }
    }
    CheckBox::setChecked(checked);
}

void RadioButton::settleGroup(const Group& group) {
    std::shared_ptr<RadioButton> last;
    for (const auto& widget : group.getWidgets()) {
        auto radio = std::dynamic_pointer_cast<RadioButton>(widget);
        if (radio && radio->isChecked()) {
            last = radio;
        }
    }
    if (last) {
        last->setChecked(true);
    }
}

void RadioButton::drawMark(sf::RenderTarget& target, const sf::FloatRect& inner, sf::Color color) const {
    const float radius = std::min(inner.width, inner.height) * 0.3f;
    sf::CircleShape dot(radius);
    dot.setFillColor(color);
    dot.setPosition(inner.left + inner.width / 2.0f - radius, inner.top + inner.height / 2.0f - radius);
    target.draw(dot);
}

} // namespace widgets
