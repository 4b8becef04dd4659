#pragma once

#include <string>
#include <vector>

#include "widgets/FormToken.hpp"

namespace widgets {

// The most tokens a form may have.
constexpr size_t maximumFormTokens = 200000;

// Splits a form file's text into tokens, skipping blanks and // and /* */
// comments. The last token is always End. Throws FormError (naming `file`)
// on an unterminated string or comment, a character that belongs to no token,
// or more than `maximumFormTokens` tokens.
std::vector<FormToken> tokenizeForm(const std::string& text, const std::string& file);

} // namespace widgets
