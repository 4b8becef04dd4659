#pragma once

#include <memory>
#include <optional>
#include <string>

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/String.hpp>

#include "widgets/Borders.hpp"
#include "widgets/Widget.hpp"

namespace widgets {

// One line of text that the player types into. A left press gives it the
// keyboard and puts the caret under the mouse; dragging selects. Keys: Left,
// Right, Home, End (with Shift: extend the selection), Backspace, Delete,
// Ctrl+A (select all), Ctrl+C, Ctrl+X, Ctrl+V (the system clipboard), Return
// (emits onReturnKeyPress). Typed text replaces the selection. A change that
// would break the maximum length or the validator is refused whole.
// Default size 240 x 36 pixels.
class EditBox : public Widget {
public:
    // Which texts are accepted, checked on every change (so every prefix of a
    // wanted text must pass: "-" is a valid start of an integer).
    enum class Validator {
        Any,
        // Optional sign, then digits.
        Integer,
        // Digits only.
        UnsignedInteger,
        // Optional sign, digits, at most one '.', digits.
        Decimal,
        // A host name or IPv4 address ([0-9A-Za-z.-]), optionally ':' and a port of up to 5 digits, at most
        // 65535.
        AddressPort,
    };

    struct Renderer {
        std::optional<sf::Color> textColor, textColorDisabled, defaultTextColor;
        std::optional<sf::Color> selectedTextColor, selectedTextBackgroundColor;
        std::optional<sf::Color> backgroundColor, backgroundColorHover, backgroundColorDisabled,
            backgroundColorFocused;
        std::optional<sf::Color> borderColor, borderColorHover, borderColorDisabled, borderColorFocused;
        std::optional<sf::Color> caretColor;
        // Pixels; 2 by default.
        std::optional<float> caretWidth;
        std::optional<Borders> borders, padding;
    };

    static std::shared_ptr<EditBox> create() { return std::shared_ptr<EditBox>(new EditBox()); }

    // UTF-8. False, leaving the text as it was, when the validator refuses it;
    // a text beyond the maximum length is cut. Emits nothing.
    bool setText(const std::string& text);
    std::string getText() const;
    // Shown, dimmed, while the box is empty.
    void setDefaultText(const std::string& text) { defaultText = text; }
    const std::string& getDefaultText() const { return defaultText; }
    // Characters; 0: no limit. A longer text is cut.
    void setMaximumCharacters(size_t maximum);
    size_t getMaximumCharacters() const { return maximumCharacters; }
    // A text the validator refuses is emptied.
    void setValidator(Validator validator);
    Validator getValidator() const { return validator; }
    // Pixels; 0 fits the text to the box's height.
    void setTextSize(unsigned int size) { textSize = size; }
    void setReadOnly(bool readOnly) { this->readOnly = readOnly; }

    // Characters before the caret.
    size_t getCaretPosition() const { return caret; }
    // The selected text, UTF-8; empty when nothing is selected.
    std::string getSelectedText() const;
    void selectAll();

    void draw(sf::RenderTarget& target) const override;
    void leftPressed(sf::Vector2f point) override;
    void mouseMoved(sf::Vector2f point) override;
    void leftReleased(sf::Vector2f point, bool over) override;
    void pressCancelled() override { selecting = false; }
    bool isFocusable() const override { return true; }
    // Everything but Up, Down, Tab and Escape: typing W, A, S or D, or moving
    // the caret, must not move the focus away.
    bool wantsKey(const sf::Event::KeyEvent& key) const override {
        return key.code != sf::Keyboard::Up && key.code != sf::Keyboard::Down &&
               key.code != sf::Keyboard::Tab && key.code != sf::Keyboard::Escape;
    }
    void focusLost() override;
    void keyPressed(const sf::Event::KeyEvent& key) override;
    void textEntered(sf::Uint32 character) override;

    Renderer renderer;
    // The new text (UTF-8) after every change made by the player.
    Signal<const std::string&> onTextChange;
    Signal<const std::string&> onReturnKeyPress;

    // Whether the text is accepted by the validator (exposed for tests and callers).
    static bool accepts(Validator validator, const sf::String& text);

protected:
    EditBox() = default;
    sf::Vector2f defaultSize(sf::Vector2f) const override { return {240.0f, 36.0f}; }

private:
    bool hasSelection() const { return caret != anchor; }
    size_t selectionStart() const { return std::min(caret, anchor); }
    size_t selectionEnd() const { return std::max(caret, anchor); }
    // Replaces the selection with `inserted`; false (nothing changed) when the
    // result is refused. Emits onTextChange on a change.
    bool replaceSelection(const sf::String& inserted);
    void moveCaret(size_t position, bool extendSelection);
    unsigned int effectiveTextSize() const;
    Borders borders() const;
    Borders padding() const;
    // The area the text is drawn in (GUI pixels).
    sf::FloatRect textArea() const;
    // Pixels from the text's start to the character index.
    float offsetOf(size_t index) const;
    size_t indexAt(float x) const;
    // Scrolls so that the caret is inside the text area.
    void keepCaretVisible();

    sf::String text;
    std::string defaultText;
    size_t maximumCharacters = 0;
    Validator validator = Validator::Any;
    unsigned int textSize = 0;
    bool readOnly = false;
    size_t caret = 0;
    // The other end of the selection; equal to the caret when nothing is selected.
    size_t anchor = 0;
    // Pixels of text scrolled out at the left.
    float scroll = 0.0f;
    bool selecting = false;
};

} // namespace widgets
