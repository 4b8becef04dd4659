#include "widgets/EditBox.hpp"

#include <algorithm>
#include <cmath>

#include <SFML/Window/Clipboard.hpp>

#include "widgets/Drawing.hpp"
#include "widgets/ResourceCache.hpp"

namespace widgets {

namespace {
const sf::Color editBoxDefaultTextColor(240, 240, 245);
const sf::Color editBoxDefaultTextDisabled(125, 125, 130);
const sf::Color editBoxDefaultDefaultText(150, 150, 160);
const sf::Color editBoxDefaultSelectedText(255, 255, 255);
const sf::Color editBoxDefaultSelectedBackground(70, 110, 190);
const sf::Color editBoxDefaultBackground(20, 21, 28, 235);
const sf::Color editBoxDefaultBackgroundHover(30, 32, 42, 240);
const sf::Color editBoxDefaultBackgroundDisabled(45, 45, 50, 170);
const sf::Color editBoxDefaultBorder(190, 190, 200);
const sf::Color editBoxDefaultBorderHover(255, 255, 255);
const sf::Color editBoxDefaultBorderFocused(255, 206, 96);
const float editBoxDefaultBorderWidth = 2.0f;
const float editBoxDefaultPadding = 6.0f;
const float editBoxDefaultCaretWidth = 2.0f;

bool editBoxIsDigit(sf::Uint32 c) {
    return c >= '0' && c <= '9';
}

// Host characters, then optionally ':' and up to five digits no more than 65535.
bool editBoxAcceptsAddressPort(const sf::String& text) {
    size_t at = 0;
    while (at < text.getSize() && text[at] != ':') {
        const sf::Uint32 c = text[at];
        const bool host =
            editBoxIsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '-';
        if (!host) {
            return false;
        }
        ++at;
    }
    if (at == text.getSize()) {
        return true;
    }
    const size_t digits = text.getSize() - at - 1;
    if (digits > 5) {
        return false;
    }
    long port = 0;
    for (size_t i = at + 1; i < text.getSize(); ++i) {
        if (!editBoxIsDigit(text[i])) {
            return false;
        }
        port = port * 10 + static_cast<long>(text[i] - '0');
    }
    return port <= 65535;
}
} // namespace

bool EditBox::accepts(Validator validator, const sf::String& text) {
    size_t at = 0;
    const size_t size = text.getSize();
    switch (validator) {
    case Validator::Any:
        return true;
    case Validator::AddressPort:
        return editBoxAcceptsAddressPort(text);
    case Validator::UnsignedInteger:
        break;
    case Validator::Integer:
    case Validator::Decimal:
        if (at < size && (text[at] == '+' || text[at] == '-')) {
            ++at;
        }
        break;
    }
    bool point = false;
    for (; at < size; ++at) {
        if (validator == Validator::Decimal && text[at] == '.' && !point) {
            point = true;
        } else if (!editBoxIsDigit(text[at])) {
            return false;
        }
    }
    return true;
}

bool EditBox::setText(const std::string& utf8) {
    sf::String replacement = sf::String::fromUtf8(utf8.begin(), utf8.end());
    if (maximumCharacters > 0 && replacement.getSize() > maximumCharacters) {
        replacement.erase(maximumCharacters, replacement.getSize() - maximumCharacters);
    }
    if (!accepts(validator, replacement)) {
        return false;
    }
    text = replacement;
    caret = anchor = text.getSize();
    keepCaretVisible();
    return true;
}

std::string EditBox::getText() const {
    std::string utf8;
    sf::Utf32::toUtf8(text.begin(), text.end(), std::back_inserter(utf8));
    return utf8;
}

void EditBox::setMaximumCharacters(size_t maximum) {
    maximumCharacters = maximum;
    if (maximum > 0 && text.getSize() > maximum) {
        text.erase(maximum, text.getSize() - maximum);
        caret = std::min(caret, maximum);
        anchor = std::min(anchor, maximum);
    }
}

void EditBox::setValidator(Validator newValidator) {
    validator = newValidator;
    if (!accepts(validator, text)) {
        text.clear();
        caret = anchor = 0;
    }
}

std::string EditBox::getSelectedText() const {
    const sf::String selected = text.substring(selectionStart(), selectionEnd() - selectionStart());
    std::string utf8;
    sf::Utf32::toUtf8(selected.begin(), selected.end(), std::back_inserter(utf8));
    return utf8;
}

void EditBox::selectAll() {
    anchor = 0;
    caret = text.getSize();
    keepCaretVisible();
}

bool EditBox::replaceSelection(const sf::String& inserted) {
    sf::String changed = text;
    changed.erase(selectionStart(), selectionEnd() - selectionStart());
    sf::String insertion = inserted;
    if (maximumCharacters > 0) {
        const size_t room = maximumCharacters > changed.getSize() ? maximumCharacters - changed.getSize() : 0;
        if (room == 0 && !insertion.isEmpty()) {
            return false;
        }
        if (insertion.getSize() > room) {
            insertion.erase(room, insertion.getSize() - room);
        }
    }
    changed.insert(selectionStart(), insertion);
    if (!accepts(validator, changed)) {
        return false;
    }
    const size_t newCaret = selectionStart() + insertion.getSize();
    const bool different = changed != text;
    text = changed;
    caret = anchor = newCaret;
    keepCaretVisible();
    if (different) {
        onTextChange.emit(getText());
    }
    return true;
}

void EditBox::moveCaret(size_t position, bool extendSelection) {
    caret = std::min(position, text.getSize());
    if (!extendSelection) {
        anchor = caret;
    }
    keepCaretVisible();
}

void EditBox::focusLost() {
    Widget::focusLost();
    anchor = caret;
    selecting = false;
}

void EditBox::keyPressed(const sf::Event::KeyEvent& key) {
    if (!isEnabled()) {
        return;
    }
    switch (key.code) {
    case sf::Keyboard::Left:
        if (hasSelection() && !key.shift) {
            moveCaret(selectionStart(), false);
        } else {
            moveCaret(caret > 0 ? caret - 1 : 0, key.shift);
        }
        break;
    case sf::Keyboard::Right:
        if (hasSelection() && !key.shift) {
            moveCaret(selectionEnd(), false);
        } else {
            moveCaret(caret + 1, key.shift);
        }
        break;
    case sf::Keyboard::Home:
        moveCaret(0, key.shift);
        break;
    case sf::Keyboard::End:
        moveCaret(text.getSize(), key.shift);
        break;
    case sf::Keyboard::BackSpace:
    case sf::Keyboard::Delete:
        if (readOnly) {
            break;
        }
        if (!hasSelection()) {
            // Select the one character the key removes.
            if (key.code == sf::Keyboard::BackSpace && caret > 0) {
                anchor = caret - 1;
            } else if (key.code == sf::Keyboard::Delete && caret < text.getSize()) {
                anchor = caret + 1;
            }
        }
        if (!replaceSelection("")) {
            anchor = caret;
        }
        break;
    case sf::Keyboard::Return:
        onReturnKeyPress.emit(getText());
        break;
    case sf::Keyboard::A:
        if (key.control) {
            selectAll();
        }
        break;
    case sf::Keyboard::C:
    case sf::Keyboard::X:
        if (key.control && hasSelection()) {
            sf::Clipboard::setString(text.substring(selectionStart(), selectionEnd() - selectionStart()));
            if (key.code == sf::Keyboard::X && !readOnly) {
                replaceSelection("");
            }
        }
        break;
    case sf::Keyboard::V:
        if (key.control && !readOnly) {
            // One line: line ends and other control characters are left out.
            sf::String pasted;
            for (const sf::Uint32 c : sf::Clipboard::getString()) {
                if (c >= 32 && c != 127) {
                    pasted += c;
                }
            }
            replaceSelection(pasted);
        }
        break;
    default:
        break;
    }
}

void EditBox::textEntered(sf::Uint32 character) {
    // Control characters (Backspace, Ctrl+letters, Return) arrive as keys too.
    if (!isEnabled() || readOnly || character < 32 || character == 127) {
        return;
    }
    replaceSelection(sf::String(character));
}

unsigned int EditBox::effectiveTextSize() const {
    if (textSize != 0) {
        return textSize;
    }
    const Borders b = borders();
    const Borders p = padding();
    const float inner = getSize().y - b.top - b.bottom - p.top - p.bottom;
    return static_cast<unsigned int>(std::max(8.0f, inner * 0.85f));
}

Borders EditBox::borders() const {
    return renderer.borders.value_or(Borders(editBoxDefaultBorderWidth));
}

Borders EditBox::padding() const {
    return renderer.padding.value_or(Borders(editBoxDefaultPadding, 0.0f, editBoxDefaultPadding, 0.0f));
}

sf::FloatRect EditBox::textArea() const {
    const sf::FloatRect rect = getAbsoluteRect();
    const Borders b = borders();
    const Borders p = padding();
    return {rect.left + b.left + p.left, rect.top + b.top + p.top,
            std::max(0.0f, rect.width - b.left - b.right - p.left - p.right),
            std::max(0.0f, rect.height - b.top - b.bottom - p.top - p.bottom)};
}

float EditBox::offsetOf(size_t index) const {
    sf::Text measured = drawing::text("", effectiveTextSize(), sf::Color::White);
    measured.setString(text);
    return measured.findCharacterPos(index).x;
}

size_t EditBox::indexAt(float x) const {
    const float wanted = x - textArea().left + scroll;
    const sf::Font* font = ResourceCache::font();
    if (!font) {
        return 0;
    }
    // One pass over the glyph advances (as the text lays them out), not one
    // measurement per position: a pasted text may be long.
    const unsigned int size = effectiveTextSize();
    size_t best = 0;
    float bestDistance = std::abs(wanted);
    float at = 0.0f;
    sf::Uint32 previous = 0;
    for (size_t i = 0; i < text.getSize(); ++i) {
        at += font->getKerning(previous, text[i], size) + font->getGlyph(text[i], size, false).advance;
        previous = text[i];
        const float distance = std::abs(at - wanted);
        if (distance < bestDistance) {
            best = i + 1;
            bestDistance = distance;
        }
    }
    return best;
}

void EditBox::keepCaretVisible() {
    const float width = textArea().width;
    const float at = offsetOf(caret);
    if (at - scroll > width) {
        scroll = at - width;
    } else if (at < scroll) {
        scroll = at;
    }
    // No empty room at the right while text is scrolled out at the left.
    const float end = offsetOf(text.getSize());
    scroll = std::max(0.0f, std::min(scroll, end - width));
}

void EditBox::leftPressed(sf::Vector2f point) {
    moveCaret(indexAt(point.x), false);
    selecting = true;
}

void EditBox::mouseMoved(sf::Vector2f point) {
    if (selecting) {
        moveCaret(indexAt(point.x), true);
    }
}

void EditBox::leftReleased(sf::Vector2f point, bool) {
    if (selecting) {
        moveCaret(indexAt(point.x), true);
    }
    selecting = false;
}

void EditBox::draw(sf::RenderTarget& target) const {
    const sf::FloatRect rect = getAbsoluteRect();
    const Renderer& r = renderer;
    using drawing::pick;
    sf::Color background = r.backgroundColor.value_or(editBoxDefaultBackground);
    sf::Color border = r.borderColor.value_or(editBoxDefaultBorder);
    sf::Color textColor = r.textColor.value_or(editBoxDefaultTextColor);
    if (!isEnabled()) {
        background = pick(r.backgroundColorDisabled, r.backgroundColor, editBoxDefaultBackgroundDisabled);
        border = pick(r.borderColorDisabled, r.borderColor, editBoxDefaultBorder);
        textColor = pick(r.textColorDisabled, r.textColor, editBoxDefaultTextDisabled);
    } else if (focused) {
        background = pick(r.backgroundColorFocused, r.backgroundColor, editBoxDefaultBackground);
        border = pick(r.borderColorFocused, r.borderColor, editBoxDefaultBorderFocused);
    } else if (hovered) {
        background = pick(r.backgroundColorHover, r.backgroundColor, editBoxDefaultBackgroundHover);
        border = pick(r.borderColorHover, r.borderColor, editBoxDefaultBorderHover);
    }
    drawing::box(target, rect, background, borders(), border);

    const sf::FloatRect area = textArea();
    const drawing::ClipScope clip(target, area);
    if (!clip.visible()) {
        return;
    }
    const float middle = area.top + area.height / 2.0f;
    const float left = area.left - scroll;
    if (text.isEmpty()) {
        if (!defaultText.empty()) {
            sf::Text hint = drawing::text(defaultText, effectiveTextSize(),
                                          r.defaultTextColor.value_or(editBoxDefaultDefaultText));
            drawing::placeLeft(hint, area.left, middle);
            target.draw(hint);
        }
    } else {
        sf::Text drawn = drawing::text("", effectiveTextSize(), textColor);
        drawn.setString(text);
        drawing::placeLeft(drawn, left, middle);
        if (hasSelection() && focused) {
            const float from = std::round(left + offsetOf(selectionStart()));
            const float to = std::round(left + offsetOf(selectionEnd()));
            drawing::box(target, {from, area.top, to - from, area.height},
                         r.selectedTextBackgroundColor.value_or(editBoxDefaultSelectedBackground), Borders(),
                         sf::Color::Transparent);
        }
        target.draw(drawn);
        if (hasSelection() && focused) {
            // The selected characters again, in their own colour, over the highlight.
            sf::Text selected(drawn);
            selected.setString(text.substring(selectionStart(), selectionEnd() - selectionStart()));
            selected.setFillColor(r.selectedTextColor.value_or(editBoxDefaultSelectedText));
            selected.move(std::round(offsetOf(selectionStart())), 0.0f);
            target.draw(selected);
        }
    }
    if (focused && isEnabled()) {
        const float width = r.caretWidth.value_or(editBoxDefaultCaretWidth);
        const float x = std::round(left + offsetOf(caret));
        drawing::box(target, {x, area.top, width, area.height}, r.caretColor.value_or(textColor), Borders(),
                     sf::Color::Transparent);
    }
}

} // namespace widgets
