#include "widgets/FormParser.hpp"

#include "widgets/FormError.hpp"
#include "widgets/FormLexer.hpp"

namespace widgets {

namespace {
using Kind = FormToken::Kind;

class Parser {
public:
    Parser(std::vector<FormToken> tokens, const std::string& file) : tokens(std::move(tokens)), file(file) {}

    std::vector<FormNode> run() {
        std::vector<FormNode> nodes;
        while (peek().kind != Kind::End) {
            nodes.push_back(block());
        }
        return nodes;
    }

private:
    const FormToken& peek(size_t ahead = 0) const {
        const size_t index = at + ahead;
        return index < tokens.size() ? tokens[index] : tokens.back();
    }
    const FormToken& advance() {
        const FormToken& token = peek();
        if (token.kind != Kind::End) {
            ++at;
        }
        return token;
    }
    [[noreturn]] void fail(const FormToken& at, const std::string& expected) const {
        throw FormError(file, at.line, "expected " + expected + ", found " + at.describe());
    }

    FormNode block() {
        const FormToken& type = peek();
        if (type.kind != Kind::Identifier) {
            fail(type, "a widget type such as 'Button'");
        }
        advance();
        FormNode node;
        node.type = type.text;
        node.line = type.line;
        if (peek().isSymbol('.')) {
            advance();
            const FormToken& name = peek();
            if (name.kind != Kind::Identifier && name.kind != Kind::String && name.kind != Kind::Number) {
                fail(name, "a name after '" + node.type + ".'");
            }
            node.name = advance().text;
        }
        if (!peek().isSymbol('{')) {
            fail(peek(), "'{' after '" + node.title() + "'");
        }
        advance();
        while (!peek().isSymbol('}')) {
            const FormToken& token = peek();
            if (token.kind == Kind::End) {
                fail(token, "'}' to close '" + node.title() + "' (opened on line " +
                                std::to_string(node.line) + ")");
            }
            if (token.kind != Kind::Identifier) {
                fail(token, "a property or a widget inside '" + node.title() + "'");
            }
            if (peek(1).isSymbol('=')) {
                node.properties.push_back(property());
            } else if (peek(1).isSymbol('{') || peek(1).isSymbol('.')) {
                // Blocks nest by recursion; a bound keeps a hostile file from
                // exhausting the stack.
                if (++nesting > maximumNesting) {
                    fail(token, "at most " + std::to_string(maximumNesting) + " nested blocks");
                }
                node.children.push_back(block());
                --nesting;
            } else {
                advance();
                fail(peek(), "'=' or '{' after '" + token.text + "'");
            }
        }
        advance();
        return node;
    }

    FormProperty property() {
        FormProperty property;
        property.key = advance().text;
        property.line = peek().line;
        advance(); // '='
        int depth = 0;
        while (true) {
            const FormToken& token = peek();
            if (token.isSymbol(';')) {
                break;
            }
            // A value never holds these; meeting one means the ';' is missing.
            const bool nextStatement = token.isSymbol('{') || token.isSymbol('}') || token.isSymbol('=') ||
                                       token.kind == Kind::End ||
                                       (depth == 0 && token.line != property.line && peek(1).isSymbol('='));
            if (nextStatement) {
                // Reported on the line where the ';' belongs.
                const int line = property.value.empty() ? token.line : property.value.back().line;
                throw FormError(file, line,
                                "expected ';' after the value of '" + property.key + "', found " +
                                    token.describe());
            }
            if (token.isSymbol('(') || token.isSymbol('[')) {
                ++depth;
            } else if (token.isSymbol(')') || token.isSymbol(']')) {
                --depth;
            }
            property.value.push_back(advance());
        }
        if (property.value.empty()) {
            fail(peek(), "a value for '" + property.key + "'");
        }
        advance(); // ';'
        return property;
    }

    static constexpr int maximumNesting = 64;

    std::vector<FormToken> tokens;
    const std::string& file;
    size_t at = 0;
    int nesting = 0;
};
} // namespace

std::vector<FormNode> parseForm(const std::string& text, const std::string& file) {
    return Parser(tokenizeForm(text, file), file).run();
}

} // namespace widgets
