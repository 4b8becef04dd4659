#include "widgets/FormLexer.hpp"

#include <cctype>
#include <cstring>

#include "widgets/FormError.hpp"

namespace widgets {

std::string FormToken::describe() const {
    switch (kind) {
    case Kind::End:
        return "end of file";
    case Kind::String:
        return "'\"" + text + "\"'";
    default:
        return "'" + text + "'";
    }
}

namespace {
class Lexer {
public:
    Lexer(const std::string& text, const std::string& file) : text(text), file(file) {}

    std::vector<FormToken> run() {
        std::vector<FormToken> tokens;
        while (skipBlanksAndComments()) {
            // A bound on the work and memory any text can cost; our largest
            // form has a few thousand tokens.
            if (tokens.size() >= maximumFormTokens) {
                throw FormError(file, line,
                                "expected at most " + std::to_string(maximumFormTokens) +
                                    " tokens in a form");
            }
            tokens.push_back(next(tokens.empty() ? FormToken::Kind::End : tokens.back().kind));
        }
        tokens.push_back({FormToken::Kind::End, "", line});
        return tokens;
    }

private:
    char peek(size_t ahead = 0) const { return at + ahead < text.size() ? text[at + ahead] : '\0'; }
    bool atEnd() const { return at >= text.size(); }

    char advance() {
        const char c = text[at++];
        if (c == '\n') {
            ++line;
        }
        return c;
    }

    // False at the end of the text.
    bool skipBlanksAndComments() {
        while (!atEnd()) {
            const char c = peek();
            if (std::isspace(static_cast<unsigned char>(c))) {
                advance();
            } else if (c == '/' && peek(1) == '/') {
                while (!atEnd() && peek() != '\n') {
                    advance();
                }
            } else if (c == '/' && peek(1) == '*') {
                const int start = line;
                advance();
                advance();
                while (!(peek() == '*' && peek(1) == '/')) {
                    if (atEnd()) {
                        throw FormError(file, start, "expected '*/' to close the comment, found end of file");
                    }
                    advance();
                }
                advance();
                advance();
            } else {
                return true;
            }
        }
        return false;
    }

    // `previous` tells "Renderer.1" (a name after a dot) from "= .5" (a number).
    FormToken next(FormToken::Kind previous) {
        const int start = line;
        const char c = peek();
        const auto isWordChar = [](char ch) {
            return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_';
        };
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::string word;
            while (isWordChar(peek())) {
                word += advance();
            }
            return {FormToken::Kind::Identifier, word, start};
        }
        const bool afterName = previous == FormToken::Kind::Identifier || previous == FormToken::Kind::String;
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '.' && !afterName && std::isdigit(static_cast<unsigned char>(peek(1))))) {
            std::string number;
            while (std::isdigit(static_cast<unsigned char>(peek())) || peek() == '.') {
                number += advance();
            }
            return {FormToken::Kind::Number, number, start};
        }
        if (c == '#') {
            std::string colour(1, advance());
            while (isWordChar(peek())) {
                colour += advance();
            }
            return {FormToken::Kind::Colour, colour, start};
        }
        if (c == '"') {
            return string();
        }
        if (std::strchr("{}();=,&.%+-*/[]|", c)) {
            return {FormToken::Kind::Symbol, std::string(1, advance()), start};
        }
        throw FormError(file, start, "unexpected character '" + std::string(1, c) + "'");
    }

    FormToken string() {
        const int start = line;
        advance();
        std::string value;
        std::string raw;
        while (peek() != '"') {
            if (atEnd() || peek() == '\n') {
                throw FormError(file, start, "expected '\"' to close the string");
            }
            char c = advance();
            raw += c;
            if (c == '\\') {
                const char escaped = atEnd() ? '\0' : advance();
                raw += escaped;
                switch (escaped) {
                case 'n':
                    c = '\n';
                    break;
                case 't':
                    c = '\t';
                    break;
                case '"':
                case '\\':
                    c = escaped;
                    break;
                default:
                    // Any other backslash stays as written: Windows-style paths
                    // ("images\bg.png") read as intended.
                    value += c;
                    c = escaped;
                    break;
                }
            }
            value += c;
        }
        advance();
        return {FormToken::Kind::String, value, start, raw};
    }

    const std::string& text;
    const std::string& file;
    size_t at = 0;
    int line = 1;
};
} // namespace

std::vector<FormToken> tokenizeForm(const std::string& text, const std::string& file) {
    return Lexer(text, file).run();
}

} // namespace widgets
