#pragma once

#include <string>
#include <vector>

#include "widgets/FormNode.hpp"

namespace widgets {

// Reads the block structure of a form's text: the top-level blocks with their
// properties and nested blocks. Property values are kept as tokens. Throws
// FormError (naming `file`) on a missing brace, '=' or ';' and the like.
std::vector<FormNode> parseForm(const std::string& text, const std::string& file);

} // namespace widgets
