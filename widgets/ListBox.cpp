#include "widgets/ListBox.hpp"

#include <algorithm>
#include <cmath>

#include "widgets/Drawing.hpp"

namespace widgets {

namespace {
const sf::Color listBoxDefaultBackground(20, 21, 28, 235);
const sf::Color listBoxDefaultRowHover(45, 48, 64, 240);
const sf::Color listBoxDefaultSelected(70, 110, 190);
const sf::Color listBoxDefaultText(240, 240, 245);
const sf::Color listBoxDefaultBorder(190, 190, 200);
const sf::Color listBoxDefaultScrollbar(150, 150, 160, 200);
const float listBoxDefaultBorderWidth = 2.0f;
const float listBoxDefaultPadding = 6.0f;
const float listBoxScrollbarWidth = 6.0f;
const int listBoxRowsPerWheelNotch = 3;
} // namespace

void ListBox::setItems(std::vector<std::string> newItems) {
    items = std::move(newItems);
    selected = none;
    hoveredRow = none;
    setScroll(scroll);
}

void ListBox::setItemHeight(float height) {
    itemHeight = std::max(1.0f, height);
    setScroll(scroll);
}

sf::FloatRect ListBox::rowArea() const {
    const sf::FloatRect rect = getAbsoluteRect();
    const Borders b = renderer.borders.value_or(Borders(listBoxDefaultBorderWidth));
    return {rect.left + b.left, rect.top + b.top, std::max(0.0f, rect.width - b.left - b.right),
            std::max(0.0f, rect.height - b.top - b.bottom)};
}

int ListBox::visibleRows() const {
    return static_cast<int>(std::floor(rowArea().height / itemHeight));
}

float ListBox::maximumScroll() const {
    return std::max(0.0f, static_cast<float>(items.size()) * itemHeight - rowArea().height);
}

void ListBox::setScroll(float pixels) {
    scroll = std::clamp(pixels, 0.0f, maximumScroll());
}

void ListBox::setSelectedItemIndex(int index) {
    if (index < 0 || index >= static_cast<int>(items.size())) {
        index = none;
    }
    if (index != none) {
        // Into view: the row's top below the list's top, its bottom above the list's bottom.
        const float top = static_cast<float>(index) * itemHeight;
        if (top < scroll) {
            setScroll(top);
        } else if (top + itemHeight > scroll + rowArea().height) {
            setScroll(top + itemHeight - rowArea().height);
        }
    }
    if (index == selected) {
        return;
    }
    selected = index;
    onItemSelect.emit(selected, selected == none ? std::string() : items[static_cast<size_t>(selected)]);
}

int ListBox::rowAt(sf::Vector2f point) const {
    const sf::FloatRect area = rowArea();
    if (!area.contains(point)) {
        return none;
    }
    const auto row = static_cast<int>(std::floor((point.y - area.top + scroll) / itemHeight));
    return row < static_cast<int>(items.size()) ? row : none;
}

void ListBox::leftPressed(sf::Vector2f point) {
    const int row = rowAt(point);
    if (row != none) {
        setSelectedItemIndex(row);
    }
}

void ListBox::mouseMoved(sf::Vector2f point) {
    hoveredRow = rowAt(point);
}

void ListBox::mouseLeft() {
    Widget::mouseLeft();
    hoveredRow = none;
}

bool ListBox::mouseWheelScrolled(float delta) {
    if (maximumScroll() <= 0.0f) {
        return false;
    }
    setScroll(scroll - delta * itemHeight * static_cast<float>(listBoxRowsPerWheelNotch));
    return true;
}

void ListBox::keyPressed(const sf::Event::KeyEvent& key) {
    if (!isEnabled() || items.empty()) {
        return;
    }
    const int last = static_cast<int>(items.size()) - 1;
    const int page = std::max(1, visibleRows());
    int target = selected;
    switch (key.code) {
    case sf::Keyboard::Up:
        target = selected == none ? last : selected - 1;
        break;
    case sf::Keyboard::Down:
        target = selected == none ? 0 : selected + 1;
        break;
    case sf::Keyboard::PageUp:
        target = selected == none ? 0 : selected - page;
        break;
    case sf::Keyboard::PageDown:
        target = selected == none ? 0 : selected + page;
        break;
    case sf::Keyboard::Home:
        target = 0;
        break;
    case sf::Keyboard::End:
        target = last;
        break;
    default:
        return;
    }
    setSelectedItemIndex(std::clamp(target, 0, last));
}

void ListBox::draw(sf::RenderTarget& target) const {
    const sf::FloatRect rect = getAbsoluteRect();
    const Renderer& r = renderer;
    using drawing::pick;
    const bool hover = hovered && isEnabled();
    const sf::Color background =
        hover ? pick(r.backgroundColorHover, r.backgroundColor, listBoxDefaultBackground)
              : r.backgroundColor.value_or(listBoxDefaultBackground);
    drawing::box(target, rect, background, r.borders.value_or(Borders(listBoxDefaultBorderWidth)),
                 r.borderColor.value_or(listBoxDefaultBorder));
    const sf::FloatRect area = rowArea();
    const drawing::ClipScope clip(target, area);
    if (!clip.visible() || items.empty()) {
        return;
    }
    const Borders padding =
        r.padding.value_or(Borders(listBoxDefaultPadding, 0.0f, listBoxDefaultPadding, 0.0f));
    const unsigned int size =
        textSize != 0 ? textSize : static_cast<unsigned int>(std::max(8.0f, itemHeight * 0.6f));
    // Only the rows in view are drawn, however long the list.
    const auto first = static_cast<size_t>(scroll / itemHeight);
    for (size_t row = first; row < items.size(); ++row) {
        const float top = area.top + static_cast<float>(row) * itemHeight - scroll;
        if (top >= area.top + area.height) {
            break;
        }
        const bool isSelected = static_cast<int>(row) == selected;
        const bool isHovered = hover && static_cast<int>(row) == hoveredRow;
        sf::Color textColor = r.textColor.value_or(listBoxDefaultText);
        if (isSelected) {
            const sf::Color fill = isHovered ? pick(r.selectedBackgroundColorHover, r.selectedBackgroundColor,
                                                    listBoxDefaultSelected)
                                             : r.selectedBackgroundColor.value_or(listBoxDefaultSelected);
            drawing::box(target, {area.left, top, area.width, itemHeight}, fill, Borders(),
                         sf::Color::Transparent);
            textColor = pick(r.selectedTextColor, r.textColor, listBoxDefaultText);
        } else if (isHovered) {
            drawing::box(target, {area.left, top, area.width, itemHeight}, listBoxDefaultRowHover, Borders(),
                         sf::Color::Transparent);
            textColor = pick(r.textColorHover, r.textColor, listBoxDefaultText);
        }
        sf::Text label = drawing::text(items[row], size, textColor, r.textStyle.value_or(sf::Text::Regular));
        drawing::placeLeft(label, area.left + padding.left, top + itemHeight / 2.0f);
        target.draw(label);
    }
    const float overflow = maximumScroll();
    if (overflow > 0.0f) {
        const float content = area.height + overflow;
        const float thumb = std::max(12.0f, area.height * area.height / content);
        const float travel = area.height - thumb;
        drawing::box(target,
                     {area.left + area.width - listBoxScrollbarWidth, area.top + travel * scroll / overflow,
                      listBoxScrollbarWidth, thumb},
                     r.scrollbarColor.value_or(listBoxDefaultScrollbar), Borders(), sf::Color::Transparent);
    }
}

} // namespace widgets
