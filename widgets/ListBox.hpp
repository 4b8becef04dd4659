#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <SFML/Graphics/Color.hpp>

#include "widgets/Borders.hpp"
#include "widgets/Widget.hpp"

namespace widgets {

// A list of text items, one per row, that scrolls when it holds more rows
// than it shows. A click selects the row under the mouse; with the keyboard
// (after a click gave it the keyboard) Up, Down, Page Up, Page Down, Home and
// End move the selection and scroll it into view. The mouse wheel scrolls by
// three rows a notch. A scroll bar is drawn at the right while the list scrolls.
// Default size 240 x 160 pixels.
class ListBox : public Widget {
public:
    struct Renderer {
        std::optional<sf::Color> backgroundColor, backgroundColorHover;
        std::optional<sf::Color> selectedBackgroundColor, selectedBackgroundColorHover;
        std::optional<sf::Color> textColor, textColorHover, selectedTextColor;
        std::optional<sf::Color> borderColor, scrollbarColor;
        std::optional<Borders> borders, padding;
        // sf::Text::Style bits; regular by default.
        std::optional<sf::Uint32> textStyle;
    };

    // No item selected.
    static constexpr int none = -1;

    static std::shared_ptr<ListBox> create() { return std::shared_ptr<ListBox>(new ListBox()); }

    // UTF-8 items, in order; the selection is cleared.
    void setItems(std::vector<std::string> items);
    void addItem(const std::string& item) { items.push_back(item); }
    const std::vector<std::string>& getItems() const { return items; }
    // Pixels per row, at least 1; 30 by default.
    void setItemHeight(float height);
    float getItemHeight() const { return itemHeight; }
    // Pixels; 0 fits the text to the row.
    void setTextSize(unsigned int size) { textSize = size; }
    // Selects the item and scrolls it into view; `none` or an index out of
    // range clears the selection. Emits onItemSelect when it changes.
    void setSelectedItemIndex(int index);
    int getSelectedItemIndex() const { return selected; }
    // Pixels of rows scrolled out at the top, kept between 0 and the content's overflow.
    void setScroll(float pixels);
    float getScroll() const { return scroll; }
    // Rows that fit fully in the list.
    int visibleRows() const;

    void draw(sf::RenderTarget& target) const override;
    void leftPressed(sf::Vector2f point) override;
    void mouseMoved(sf::Vector2f point) override;
    void mouseLeft() override;
    bool mouseWheelScrolled(float delta) override;
    bool isFocusable() const override { return true; }
    bool wantsKey(const sf::Event::KeyEvent& key) const override {
        return key.code == sf::Keyboard::Up || key.code == sf::Keyboard::Down ||
               key.code == sf::Keyboard::PageUp || key.code == sf::Keyboard::PageDown ||
               key.code == sf::Keyboard::Home || key.code == sf::Keyboard::End;
    }
    void keyPressed(const sf::Event::KeyEvent& key) override;

    Renderer renderer;
    // The index and the text of the newly selected item (`none` and "" when cleared).
    Signal<int, const std::string&> onItemSelect;

protected:
    ListBox() = default;
    sf::Vector2f defaultSize(sf::Vector2f) const override { return {240.0f, 160.0f}; }

private:
    // The rows' area (GUI pixels).
    sf::FloatRect rowArea() const;
    float maximumScroll() const;
    int rowAt(sf::Vector2f point) const;

    std::vector<std::string> items;
    float itemHeight = 30.0f;
    unsigned int textSize = 0;
    int selected = none;
    int hoveredRow = none;
    float scroll = 0.0f;
};

} // namespace widgets
