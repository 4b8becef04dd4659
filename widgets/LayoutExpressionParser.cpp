#include "widgets/LayoutExpressionParser.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <stdexcept>

namespace widgets {

namespace {
using Kind = FormToken::Kind;
using Attribute = LayoutExpression::Attribute;
using Operation = LayoutExpression::Operation;
using Subject = LayoutExpression::Subject;

const int expressionMaximumParentheses = 32;
const int expressionMaximumTerms = 1000;

std::string expressionLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const std::map<std::string, Attribute>& expressionAttributes() {
    static const std::map<std::string, Attribute> words = {
        {"x", Attribute::Left},         {"left", Attribute::Left},
        {"y", Attribute::Top},          {"top", Attribute::Top},
        {"w", Attribute::Width},        {"width", Attribute::Width},
        {"h", Attribute::Height},       {"height", Attribute::Height},
        {"right", Attribute::Right},    {"bottom", Attribute::Bottom},
        {"iw", Attribute::InnerWidth},  {"innerwidth", Attribute::InnerWidth},
        {"ih", Attribute::InnerHeight}, {"innerheight", Attribute::InnerHeight},
    };
    return words;
}

class ExpressionParser {
public:
    ExpressionParser(const std::vector<FormToken>& tokens, size_t& at, const LayoutFailure& fail)
        : tokens(tokens), at(at), fail(fail) {}

    std::shared_ptr<const LayoutExpression> sum() {
        auto left = product();
        while (peek().isSymbol('+') || peek().isSymbol('-')) {
            countTerm();
            const Operation operation = advance().isSymbol('+') ? Operation::Add : Operation::Subtract;
            left = LayoutExpression::binary(operation, left, product());
        }
        return left;
    }

private:
    const FormToken& peek() const {
        static const FormToken end{Kind::End, "", 0};
        return at < tokens.size() ? tokens[at] : end;
    }
    const FormToken& advance() {
        const FormToken& token = peek();
        ++at;
        return token;
    }
    [[noreturn]] void failHere(const std::string& expected) {
        fail(peek(), expected);
        throw std::logic_error("the layout failure handler must throw");
    }
    // Evaluation and destruction recurse through the terms: their number is bounded.
    void countTerm() {
        if (++terms > expressionMaximumTerms) {
            failHere("at most " + std::to_string(expressionMaximumTerms) + " terms in one layout part");
        }
    }
    void expectSymbol(char symbol) {
        if (!peek().isSymbol(symbol)) {
            failHere("'" + std::string(1, symbol) + "'");
        }
        advance();
    }

    std::shared_ptr<const LayoutExpression> product() {
        auto left = unary();
        while (peek().isSymbol('*') || peek().isSymbol('/')) {
            countTerm();
            const bool divide = advance().isSymbol('/');
            const FormToken& divisorStart = peek();
            auto right = unary();
            auto node =
                LayoutExpression::binary(divide ? Operation::Divide : Operation::Multiply, left, right);
            if (divide && node->dividesByConstantZero()) {
                fail(divisorStart, "a divisor other than 0");
            }
            left = node;
        }
        return left;
    }

    std::shared_ptr<const LayoutExpression> unary() {
        // A loop, not recursion: any number of signs costs no stack.
        bool negative = false;
        while (peek().isSymbol('-') || peek().isSymbol('+')) {
            negative = advance().isSymbol('-') != negative;
        }
        auto operand = primary();
        return negative ? LayoutExpression::negate(operand) : operand;
    }

    std::shared_ptr<const LayoutExpression> parenthesised() {
        if (++depth > expressionMaximumParentheses) {
            failHere("at most " + std::to_string(expressionMaximumParentheses) + " nested parentheses");
        }
        expectSymbol('(');
        auto inner = sum();
        expectSymbol(')');
        --depth;
        return inner;
    }

    Attribute attribute(bool ofParent) {
        const FormToken& token = peek();
        const auto found = token.kind == Kind::Identifier
                               ? expressionAttributes().find(expressionLower(token.text))
                               : expressionAttributes().end();
        const bool inner = found != expressionAttributes().end() && (found->second == Attribute::InnerWidth ||
                                                                     found->second == Attribute::InnerHeight);
        if (found == expressionAttributes().end() || (inner && !ofParent)) {
            failHere(ofParent ? "x, y, w, h, iw, ih, width, height, right or bottom"
                              : "x, y, w, h, width, height, right or bottom");
        }
        advance();
        return found->second;
    }

    std::shared_ptr<const LayoutExpression> primary() {
        const FormToken& token = peek();
        if (token.kind == Kind::Number) {
            float value = 0.0f;
            try {
                size_t used = 0;
                value = std::stof(token.text, &used);
                if (used != token.text.size()) {
                    failHere("a number");
                }
            } catch (const std::exception&) {
                failHere("a number of pixels within +-1000000");
            }
            if (!(std::abs(value) <= LayoutExpression::maximumMagnitude)) {
                failHere("a number of pixels within +-1000000");
            }
            advance();
            if (peek().isSymbol('%')) {
                advance();
                return LayoutExpression::percent(value);
            }
            return LayoutExpression::number(value);
        }
        if (token.isSymbol('(')) {
            return parenthesised();
        }
        if (token.isSymbol('&')) {
            advance();
            expectSymbol('.');
            return LayoutExpression::reference(Subject::Parent, "", attribute(true));
        }
        if (token.kind != Kind::Identifier) {
            failHere("a number, a percentage, '(' or a reference such as &.w");
        }
        const std::string word = expressionLower(token.text);
        if ((word == "min" || word == "max") && at + 1 < tokens.size() && tokens[at + 1].isSymbol('(')) {
            advance();
            if (++depth > expressionMaximumParentheses) {
                failHere("at most " + std::to_string(expressionMaximumParentheses) + " nested parentheses");
            }
            expectSymbol('(');
            auto first = sum();
            expectSymbol(',');
            auto second = sum();
            expectSymbol(')');
            --depth;
            return LayoutExpression::binary(word == "min" ? Operation::Minimum : Operation::Maximum, first,
                                            second);
        }
        if (at + 1 < tokens.size() && tokens[at + 1].isSymbol('.')) {
            const std::string name = advance().text;
            advance();
            if (expressionLower(name) == "parent") {
                return LayoutExpression::reference(Subject::Parent, "", attribute(true));
            }
            if (expressionLower(name) == "this") {
                return LayoutExpression::reference(Subject::Self, "", attribute(false));
            }
            return LayoutExpression::reference(Subject::Sibling, name, attribute(false));
        }
        return LayoutExpression::reference(Subject::Self, "", attribute(false));
    }

    const std::vector<FormToken>& tokens;
    size_t& at;
    const LayoutFailure& fail;
    int depth = 0;
    int terms = 0;
};
} // namespace

std::shared_ptr<const LayoutExpression> parseLayoutExpression(const std::vector<FormToken>& tokens,
                                                              size_t& at, const LayoutFailure& fail) {
    return ExpressionParser(tokens, at, fail).sum();
}

} // namespace widgets
