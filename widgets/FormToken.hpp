#pragma once

#include <string>
#include <utility>

namespace widgets {

// One token of a form file.
struct FormToken {
    enum class Kind {
        Identifier, // Button, StartGame, true, Smooth, rgb
        String,     // the text between the quotes, escapes resolved
        Number,     // 12, 0.5 (a minus sign is a symbol of its own)
        Colour,     // #RRGGBB and friends, with the '#'
        Symbol,     // one of { } ( ) ; = , & . % + - * / [ ] |
        End,        // after the last token
    };

    FormToken() = default;
    FormToken(Kind kind, std::string text, int line, std::string raw = "")
        : kind(kind), text(std::move(text)), line(line), raw(std::move(raw)) {}

    Kind kind = Kind::End;
    std::string text;
    int line = 0;
    // A string as written between its quotes, escapes not resolved (for paths).
    std::string raw;

    bool is(Kind expected, const std::string& value) const { return kind == expected && text == value; }
    bool isSymbol(char symbol) const { return kind == Kind::Symbol && text.size() == 1 && text[0] == symbol; }
    // How the token reads in a message: 'Button', '"Start"', end of file.
    std::string describe() const;
};

} // namespace widgets
