#pragma once

// How deeply the elements of an XML text nest, as rapidxml (default flags)
// would descend into them: rapidxml parses nested elements recursively, so a
// hostile file of a few hundred kilobytes of "<a><a><a>..." would otherwise
// exhaust the stack. The scan follows rapidxml's own rules for comments,
// CDATA, processing instructions, DOCTYPE and quoted attribute values, and
// stops where rapidxml would report a syntax error (the depth reached so far
// is returned; rapidxml then throws when it gets there).
// `text` must be zero-terminated.
int xmlNestingDepth(const char* text);
