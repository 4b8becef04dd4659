#include "widgets/FormValueReader.hpp"

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

#include "widgets/FormError.hpp"
#include "widgets/FormLexer.hpp"

namespace widgets {

namespace {
using Kind = FormToken::Kind;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Whole text as a number, or false.
bool parseNumber(const std::string& text, float& value) {
    try {
        size_t used = 0;
        value = std::stof(text, &used);
        return used == text.size();
    } catch (const std::exception&) {
        return false;
    }
}

bool parseHexColour(const std::string& text, sf::Color& colour) {
    std::string digits = text.substr(1);
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); })) {
        return false;
    }
    if (digits.size() == 3 || digits.size() == 4) {
        std::string doubled;
        for (const char c : digits) {
            doubled += std::string(2, c);
        }
        digits = doubled;
    }
    if (digits.size() != 6 && digits.size() != 8) {
        return false;
    }
    const auto byte = [&](size_t index) {
        return static_cast<sf::Uint8>(std::stoul(digits.substr(index * 2, 2), nullptr, 16));
    };
    colour = sf::Color(byte(0), byte(1), byte(2), digits.size() == 8 ? byte(3) : 255);
    return true;
}

const std::map<std::string, sf::Color>& namedColours() {
    static const std::map<std::string, sf::Color> colours = {
        {"black", sf::Color::Black},     {"white", sf::Color::White}, {"red", sf::Color::Red},
        {"green", sf::Color::Green},     {"blue", sf::Color::Blue},   {"yellow", sf::Color::Yellow},
        {"magenta", sf::Color::Magenta}, {"cyan", sf::Color::Cyan},   {"transparent", sf::Color::Transparent},
    };
    return colours;
}

const char* const colourForms =
    "a colour (#RRGGBB, #RRGGBBAA, rgb(r, g, b), rgba(r, g, b, a) or a colour name)";
} // namespace

const FormToken& FormValueReader::peek() const {
    static const FormToken end{Kind::Symbol, ";", 0};
    return at < property.value.size() ? property.value[at] : end;
}

const FormToken& FormValueReader::advance() {
    const FormToken& token = peek();
    ++at;
    return token;
}

void FormValueReader::fail(const std::string& expected) const {
    throw FormError(file, property.line,
                    "expected " + expected + " for '" + property.key + "', found " + peek().describe());
}

void FormValueReader::expectSymbol(char symbol) {
    if (!peek().isSymbol(symbol)) {
        fail("'" + std::string(1, symbol) + "'");
    }
    advance();
}

void FormValueReader::expectEnd() {
    if (at < property.value.size()) {
        throw FormError(file, property.line,
                        "expected ';' after the value of '" + property.key + "', found " + peek().describe());
    }
}

float FormValueReader::signedNumber(const std::string& expected) {
    const bool negative = peek().isSymbol('-');
    if (negative) {
        advance();
    }
    float value = 0.0f;
    if (peek().kind != Kind::Number || !parseNumber(peek().text, value)) {
        fail(expected);
    }
    advance();
    return negative ? -value : value;
}

float FormValueReader::number() {
    const float value = signedNumber("a number");
    expectEnd();
    return value;
}

unsigned int FormValueReader::size() {
    const float value = signedNumber("a whole number of pixels");
    if (value < 0.0f || value != static_cast<float>(static_cast<unsigned int>(value))) {
        at = 0;
        fail("a whole number of pixels");
    }
    expectEnd();
    return static_cast<unsigned int>(value);
}

bool FormValueReader::boolean() {
    const size_t index = choice({"false", "true"});
    return index == 1;
}

size_t FormValueReader::choice(const std::vector<std::string>& words) {
    std::string expected;
    for (size_t i = 0; i < words.size(); ++i) {
        expected += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    }
    if (peek().kind != Kind::Identifier) {
        fail(expected);
    }
    const std::string word = lower(peek().text);
    for (size_t i = 0; i < words.size(); ++i) {
        if (lower(words[i]) == word) {
            advance();
            expectEnd();
            return i;
        }
    }
    fail(expected);
}

std::string FormValueReader::string() {
    if (peek().kind != Kind::String) {
        fail("a quoted string");
    }
    std::string value = advance().text;
    expectEnd();
    return value;
}

unsigned char FormValueReader::channel() {
    const float value = signedNumber("a colour channel from 0 to 255");
    if (value < 0.0f || value > 255.0f) {
        --at;
        fail("a colour channel from 0 to 255");
    }
    return static_cast<unsigned char>(value + 0.5f);
}

sf::Color FormValueReader::colour() {
    const FormToken& token = peek();
    sf::Color colour;
    if (token.kind == Kind::Colour ||
        (token.kind == Kind::String && !token.text.empty() && token.text[0] == '#')) {
        if (!parseHexColour(token.text, colour)) {
            fail(colourForms);
        }
        advance();
    } else if (token.kind == Kind::Identifier &&
               (lower(token.text) == "rgb" || lower(token.text) == "rgba")) {
        const bool withAlpha = lower(token.text) == "rgba";
        advance();
        expectSymbol('(');
        colour.r = channel();
        expectSymbol(',');
        colour.g = channel();
        expectSymbol(',');
        colour.b = channel();
        if (withAlpha) {
            expectSymbol(',');
            colour.a = channel();
        }
        expectSymbol(')');
    } else if (token.kind == Kind::Identifier && namedColours().count(lower(token.text))) {
        colour = namedColours().at(lower(token.text));
        advance();
    } else {
        fail(colourForms);
    }
    expectEnd();
    return colour;
}

LayoutValue FormValueReader::layoutSum(const std::vector<FormToken>& tokens, size_t& index) const {
    const char* const expected = "a position or size part such as 120, 50% or 50% - 120";
    LayoutValue sum;
    bool first = true;
    while (true) {
        float sign = 1.0f;
        if (index < tokens.size() && (tokens[index].isSymbol('-') || tokens[index].isSymbol('+'))) {
            sign = tokens[index].isSymbol('-') ? -1.0f : 1.0f;
            ++index;
        } else if (!first) {
            return sum;
        }
        float value = 0.0f;
        if (index >= tokens.size() || tokens[index].kind != Kind::Number ||
            !parseNumber(tokens[index].text, value)) {
            const FormToken& found = index < tokens.size() ? tokens[index] : peek();
            throw FormError(file, property.line,
                            std::string("expected ") + expected + " for '" + property.key + "', found " +
                                found.describe());
        }
        ++index;
        if (index < tokens.size() && tokens[index].isSymbol('%')) {
            sum.percent += sign * value;
            ++index;
        } else {
            sum.pixels += sign * value;
        }
        first = false;
    }
}

LayoutValue FormValueReader::layoutValue() {
    if (peek().kind == Kind::String) {
        // A quoted part holds the same expression.
        const std::vector<FormToken> inner = tokenizeForm(advance().text, file);
        size_t index = 0;
        const LayoutValue value = layoutSum(inner, index);
        if (inner[index].kind != Kind::End) {
            throw FormError(file, property.line,
                            "expected the end of the quoted part of '" + property.key + "', found " +
                                inner[index].describe());
        }
        return value;
    }
    return layoutSum(property.value, at);
}

Layout2d FormValueReader::layout() {
    expectSymbol('(');
    const LayoutValue x = layoutValue();
    expectSymbol(',');
    const LayoutValue y = layoutValue();
    expectSymbol(')');
    expectEnd();
    return {x, y};
}

Borders FormValueReader::borders() {
    const char* const expected = "borders: a number, (horizontal, vertical) or (left, top, right, bottom)";
    if (!peek().isSymbol('(')) {
        const float all = signedNumber(expected);
        expectEnd();
        return Borders(all);
    }
    advance();
    std::vector<float> parts{signedNumber(expected)};
    while (peek().isSymbol(',')) {
        advance();
        parts.push_back(signedNumber(expected));
    }
    expectSymbol(')');
    expectEnd();
    if (parts.size() == 1) {
        return Borders(parts[0]);
    }
    if (parts.size() == 2) {
        return Borders(parts[0], parts[1], parts[0], parts[1]);
    }
    if (parts.size() == 4) {
        return Borders(parts[0], parts[1], parts[2], parts[3]);
    }
    at = 0;
    fail(expected);
}

FormValueReader::TextureValue FormValueReader::texture() {
    if (peek().kind != Kind::String) {
        fail("a quoted file name such as \"button.png\"");
    }
    TextureValue value;
    // As written: a backslash in a path separates directories, it escapes nothing.
    value.path = advance().raw;
    std::replace(value.path.begin(), value.path.end(), '\\', '/');
    if (peek().kind == Kind::Identifier) {
        if (peek().text != "Smooth") {
            fail("'Smooth' or ';' after the file name");
        }
        advance();
        value.smooth = true;
    }
    expectEnd();
    return value;
}

std::string FormValueReader::reference() {
    expectSymbol('&');
    if (peek().kind != Kind::Identifier && peek().kind != Kind::Number) {
        fail("the name of a shared renderer after '&'");
    }
    std::string name = advance().text;
    expectEnd();
    return name;
}

} // namespace widgets
