#include "widgets/FormValueReader.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <vector>

#include "widgets/FormError.hpp"
#include "widgets/FormLexer.hpp"
#include "widgets/LayoutExpression.hpp"
#include "widgets/LayoutExpressionParser.hpp"

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

unsigned int FormValueReader::textSize() {
    const char* const expected = "a whole number of pixels from 0 to 1000";
    const float value = signedNumber(expected);
    // Range first: converting a float beyond the range of the integer is undefined.
    if (!(value >= 0.0f && value <= 1000.0f) || value != std::floor(value)) {
        at = 0;
        fail(expected);
    }
    expectEnd();
    return static_cast<unsigned int>(value);
}

int FormValueReader::order() {
    const char* const expected = "a whole number from -1000000 to 1000000";
    const float value = signedNumber(expected);
    if (!(value >= -1000000.0f && value <= 1000000.0f) || value != std::floor(value)) {
        at = 0;
        fail(expected);
    }
    expectEnd();
    return static_cast<int>(value);
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
    // Form editors leave a text of one word without its quotes (Text = Add;).
    const bool word =
        (peek().kind == Kind::Identifier || peek().kind == Kind::Number) && property.value.size() == 1;
    if (peek().kind != Kind::String && !word) {
        fail("a quoted string or a single word");
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

LayoutValue FormValueReader::layoutPart(const std::vector<FormToken>& tokens, size_t& index) const {
    // Sums of pixels and percentages keep their plain form (and arithmetic);
    // anything else is read as an expression.
    size_t linearEnd = index;
    try {
        const LayoutValue linear = layoutSum(tokens, linearEnd);
        const bool partEnds = linearEnd >= tokens.size() || tokens[linearEnd].isSymbol(',') ||
                              tokens[linearEnd].isSymbol(')') || tokens[linearEnd].kind == Kind::End;
        if (partEnds && std::abs(linear.pixels) <= LayoutExpression::maximumMagnitude &&
            std::abs(linear.percent) <= LayoutExpression::maximumMagnitude) {
            index = linearEnd;
            return linear;
        }
    } catch (const FormError&) {
    }
    const LayoutFailure fail = [this](const FormToken& found, const std::string& expected) {
        throw FormError(file, property.line,
                        "expected " + expected + " in the layout of '" + property.key + "', found " +
                            found.describe());
    };
    LayoutValue value;
    value.expression = parseLayoutExpression(tokens, index, fail);
    return value;
}

LayoutValue FormValueReader::layoutValue() {
    if (peek().kind == Kind::String) {
        // A quoted part holds the same expression.
        const std::vector<FormToken> inner = tokenizeForm(advance().text, file);
        size_t index = 0;
        const LayoutValue value = layoutPart(inner, index);
        if (inner[index].kind != Kind::End) {
            throw FormError(file, property.line,
                            "expected the end of the quoted part of '" + property.key + "', found " +
                                inner[index].describe());
        }
        return value;
    }
    return layoutPart(property.value, at);
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
    std::vector<float> parts;
    if (peek().isSymbol('(')) {
        advance();
        parts.push_back(signedNumber(expected));
        while (peek().isSymbol(',')) {
            advance();
            parts.push_back(signedNumber(expected));
        }
        expectSymbol(')');
    } else {
        parts.push_back(signedNumber(expected));
    }
    expectEnd();
    if (std::any_of(parts.begin(), parts.end(), [](float part) { return part < 0.0f; })) {
        at = 0;
        fail("borders of at least 0 pixels");
    }
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

sf::IntRect FormValueReader::rectangle() {
    const char* const expected = "a rectangle of whole pixels (left, top, width, height)";
    expectSymbol('(');
    int parts[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            expectSymbol(',');
        }
        const float part = signedNumber(expected);
        if (!(part >= 0.0f && part <= 100000.0f) || part != std::floor(part)) {
            --at;
            fail(expected);
        }
        parts[i] = static_cast<int>(part);
    }
    expectSymbol(')');
    return {parts[0], parts[1], parts[2], parts[3]};
}

FormValueReader::TextureValue FormValueReader::texture() {
    if (peek().kind == Kind::Identifier && peek().text == "None") {
        advance();
        expectEnd();
        return {};
    }
    if (peek().kind != Kind::String) {
        fail("a quoted file name such as \"button.png\"");
    }
    TextureValue value;
    // As written: a backslash in a path separates directories, it escapes nothing.
    value.path = advance().raw;
    std::replace(value.path.begin(), value.path.end(), '\\', '/');
    // Then, in any order: Part(rect), Middle(rect), Smooth.
    while (peek().kind == Kind::Identifier) {
        const std::string word = peek().text;
        if (word == "Smooth") {
            advance();
            value.smooth = true;
        } else if (word == "Part" || word == "Middle") {
            advance();
            (word == "Part" ? value.part : value.middle) = rectangle();
        } else {
            fail("'Smooth' or ';' after the file name");
        }
    }
    expectEnd();
    return value;
}

std::vector<std::string> FormValueReader::list() {
    const char* const expected = "a list such as [\"first\", \"second\"]";
    std::vector<std::string> items;
    expectSymbol('[');
    while (!peek().isSymbol(']')) {
        if (!items.empty()) {
            expectSymbol(',');
        }
        const FormToken& item = peek();
        if (item.kind != Kind::String && item.kind != Kind::Identifier && item.kind != Kind::Number) {
            fail(expected);
        }
        if (items.size() >= maximumListItems) {
            fail("at most " + std::to_string(maximumListItems) + " items in a list");
        }
        items.push_back(advance().text);
    }
    advance();
    expectEnd();
    return items;
}

sf::Uint32 FormValueReader::textStyle() {
    const std::vector<std::string> words = {"Regular", "Bold", "Italic", "Underlined", "StrikeThrough"};
    const sf::Uint32 bits[] = {sf::Text::Regular, sf::Text::Bold, sf::Text::Italic, sf::Text::Underlined,
                               sf::Text::StrikeThrough};
    sf::Uint32 style = sf::Text::Regular;
    while (true) {
        if (peek().kind != Kind::Identifier) {
            fail("Regular, Bold, Italic, Underlined or StrikeThrough");
        }
        const std::string word = lower(peek().text);
        size_t index = 0;
        while (index < words.size() && lower(words[index]) != word) {
            ++index;
        }
        if (index == words.size()) {
            fail("Regular, Bold, Italic, Underlined or StrikeThrough");
        }
        advance();
        style |= bits[index];
        if (!peek().isSymbol('|')) {
            break;
        }
        advance();
    }
    expectEnd();
    return style;
}

bool FormValueReader::wordsInclude(const std::string& word) {
    const bool bracketed = peek().isSymbol('[');
    if (bracketed) {
        advance();
    }
    bool found = false;
    bool first = true;
    while (at < property.value.size() && !(bracketed && peek().isSymbol(']'))) {
        if (!first) {
            if (!peek().isSymbol('|') && !peek().isSymbol(',')) {
                fail("words joined by '|'");
            }
            advance();
        }
        if (peek().kind != Kind::Identifier) {
            fail("a word");
        }
        const bool matches = lower(advance().text) == lower(word);
        found = found || matches;
        first = false;
    }
    if (bracketed) {
        expectSymbol(']');
    }
    expectEnd();
    return found;
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
