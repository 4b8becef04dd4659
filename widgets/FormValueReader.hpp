#pragma once

#include <optional>
#include <string>
#include <vector>

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Text.hpp>

#include <SFML/Graphics/Color.hpp>

#include "widgets/Borders.hpp"
#include "widgets/FormNode.hpp"
#include "widgets/Layout.hpp"

namespace widgets {

// Reads one property's value as the type the property needs. Each reader
// takes the whole value; anything left over or malformed throws FormError
// naming the file, the property's line and what was expected.
class FormValueReader {
public:
    struct TextureValue {
        // As written in the form, backslashes turned into slashes.
        std::string path;
        bool smooth = false;
        // Part(left, top, width, height): the part of the image used (texture pixels).
        std::optional<sf::IntRect> part;
        // Middle(left, top, width, height): within the part, the area that
        // stretches; the rest keeps its size (texture pixels).
        std::optional<sf::IntRect> middle;
    };

    // The most items a list may have.
    static constexpr size_t maximumListItems = 10000;

    FormValueReader(const FormProperty& property, const std::string& file) : property(property), file(file) {}

    float number();
    // A whole number of pixels from 0 to 1000.
    unsigned int textSize();
    // A whole number from -1000000 to 1000000 (an order among widgets); a
    // number beyond that is refused, never cut to the range of an int.
    int order();
    bool boolean();
    // A quoted string, or a single word or number written without quotes.
    std::string string();
    sf::Color colour();
    // (x, y), each part a layout expression (LayoutExpressionParser.hpp),
    // optionally quoted; sums of pixels and percentages stay plain values.
    Layout2d layout();
    // n, (horizontal, vertical) or (left, top, right, bottom).
    Borders borders();
    // "file" optionally followed by Part(...), Middle(...) and Smooth; or
    // None, which gives an empty path (no texture).
    TextureValue texture();
    // [item, item, ...]: strings, words or numbers, as written.
    std::vector<std::string> list();
    // One of the given words (case-insensitive); returns its index.
    size_t choice(const std::vector<std::string>& words);
    // &name: the name of a shared renderer.
    std::string reference();
    // Regular, Bold, Italic, Underlined, StrikeThrough, joined by '|': sf::Text::Style bits.
    sf::Uint32 textStyle();
    // Words joined by '|' or ',' (or a list of them): whether `word` is one (case-insensitive).
    bool wordsInclude(const std::string& word);

    const std::string& fileName() const { return file; }

private:
    const FormToken& peek() const;
    const FormToken& advance();
    [[noreturn]] void fail(const std::string& expected) const;
    void expectSymbol(char symbol);
    void expectEnd();
    float signedNumber(const std::string& expected);
    LayoutValue layoutValue();
    LayoutValue layoutPart(const std::vector<FormToken>& tokens, size_t& index) const;
    sf::IntRect rectangle();
    LayoutValue layoutSum(const std::vector<FormToken>& tokens, size_t& at) const;
    unsigned char channel();

    const FormProperty& property;
    const std::string& file;
    size_t at = 0;
};

} // namespace widgets
