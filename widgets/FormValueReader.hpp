#pragma once

#include <string>

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
    };

    FormValueReader(const FormProperty& property, const std::string& file) : property(property), file(file) {}

    float number();
    // A whole number of at least 0.
    unsigned int size();
    bool boolean();
    std::string string();
    sf::Color colour();
    // (x, y), each part pixels, percent or a sum of those.
    Layout2d layout();
    // n, (horizontal, vertical) or (left, top, right, bottom).
    Borders borders();
    // "file" optionally followed by Smooth.
    TextureValue texture();
    // One of the given words (case-insensitive); returns its index.
    size_t choice(const std::vector<std::string>& words);
    // &name: the name of a shared renderer.
    std::string reference();

private:
    const FormToken& peek() const;
    const FormToken& advance();
    [[noreturn]] void fail(const std::string& expected) const;
    void expectSymbol(char symbol);
    void expectEnd();
    float signedNumber(const std::string& expected);
    LayoutValue layoutValue();
    LayoutValue layoutSum(const std::vector<FormToken>& tokens, size_t& at) const;
    unsigned char channel();

    const FormProperty& property;
    const std::string& file;
    size_t at = 0;
};

} // namespace widgets
