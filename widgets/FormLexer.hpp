#pragma once

#include <string>
#include <vector>

#include "widgets/FormToken.hpp"

namespace widgets {

// Splits a form file's text into tokens, skipping blanks and // and /* */
// comments. The last token is always End. Throws FormError (naming `file`)
// on an unterminated string or comment, or a character that belongs to no token.
std::vector<FormToken> tokenizeForm(const std::string& text, const std::string& file);

} // namespace widgets
