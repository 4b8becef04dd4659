#pragma once

#include <rapidxml/rapidxml.hpp>

// How deeply the elements of an XML text nest, as rapidxml (default flags)
// would descend into them: rapidxml parses nested elements recursively, so a
// hostile file of a few hundred kilobytes of "<a><a><a>..." would otherwise
// exhaust the stack. The scan follows rapidxml's own rules for comments,
// CDATA, processing instructions, DOCTYPE and quoted attribute values, and
// stops where rapidxml would report a syntax error (the depth reached so far
// is returned; rapidxml then throws when it gets there).
// `text` must be zero-terminated.
int xmlNestingDepth(const char* text);

// Deeper than any map or atlas the editors write (group layers included),
// shallow enough that rapidxml's recursion stays far from the end of the stack.
constexpr int maxXmlNesting = 256;

// Parses the zero-terminated `text` in place into `document` (default flags),
// after checking that its nesting stays within maxXmlNesting. Every XML loader
// goes through here so that none of them hands rapidxml an unchecked file.
// Throws std::runtime_error ("elements nest more than 256 deep") on a too
// deep text, and rapidxml::parse_error on a syntax error.
void parseXml(rapidxml::xml_document<>& document, char* text);
