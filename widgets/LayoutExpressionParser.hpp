#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "widgets/FormToken.hpp"
#include "widgets/LayoutExpression.hpp"

namespace widgets {

// Reads one layout expression from a property's tokens, starting at `at` and
// stopping before a ',' or ')' that is not inside its own parentheses (or at
// the end). Grammar, loosest first:
//   sum     = product { ('+' | '-') product }
//   product = unary { ('*' | '/') unary }
//   unary   = '-' unary | primary
//   primary = number ['%'] | '(' sum ')' | ('min' | 'max') '(' sum ',' sum ')'
//           | attribute                       the widget itself: w, h, x, y, ...
//           | ('&' | 'parent') '.' attribute  the parent
//           | Name '.' attribute              a sibling
// Attributes: x, left, y, top, w, width, h, height, right, bottom, and for
// the parent also iw, innerwidth, ih, innerheight (case-insensitive).
// `fail(found, expected)` is called on a malformed expression and must throw.
// Numbers beyond +-LayoutExpression::maximumMagnitude and a division by a
// constant zero are malformed; parentheses nest at most 32 deep and a part
// has at most 1000 operators.
using LayoutFailure = std::function<void(const FormToken& found, const std::string& expected)>;

std::shared_ptr<const LayoutExpression> parseLayoutExpression(const std::vector<FormToken>& tokens,
                                                              size_t& at, const LayoutFailure& fail);

} // namespace widgets
