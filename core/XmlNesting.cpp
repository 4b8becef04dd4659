#include "core/XmlNesting.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The characters rapidxml accepts in element names.
bool isNameChar(char c) {
    return c != '\0' && !isSpace(c) && c != '/' && c != '>' && c != '?';
}

// The characters rapidxml accepts in attribute names.
bool isAttributeNameChar(char c) {
    return isNameChar(c) && c != '!' && c != '<' && c != '=';
}

void skipSpace(const char*& p) {
    while (isSpace(*p)) {
        ++p;
    }
}

// Moves past the next occurrence of `terminator`; false at the end of the text.
bool skipPast(const char*& p, const char* terminator) {
    const char* found = std::strstr(p, terminator);
    if (!found) {
        return false;
    }
    p = found + std::strlen(terminator);
    return true;
}

bool startsWith(const char* p, const char* prefix) {
    return std::strncmp(p, prefix, std::strlen(prefix)) == 0;
}

// DOCTYPE: up to the first '>' outside square brackets, brackets counted naively.
bool skipDoctype(const char*& p) {
    while (*p != '>') {
        if (*p == '\0') {
            return false;
        }
        if (*p == '[') {
            ++p;
            for (int depth = 1; depth > 0; ++p) {
                if (*p == '\0') {
                    return false;
                }
                depth += *p == '[' ? 1 : *p == ']' ? -1 : 0;
            }
        } else {
            ++p;
        }
    }
    ++p;
    return true;
}

// A node beginning with "<!" or "<?", `p` just after the '<'. False on a syntax error.
bool skipMarkup(const char*& p) {
    if (*p == '?') {
        ++p;
        return skipPast(p, "?>");
    }
    if (startsWith(p, "!--")) {
        p += 3;
        return skipPast(p, "-->");
    }
    if (startsWith(p, "![CDATA[")) {
        p += 8;
        return skipPast(p, "]]>");
    }
    if (startsWith(p, "!DOCTYPE") && isSpace(p[8])) {
        p += 9;
        return skipDoctype(p);
    }
    ++p;
    return skipPast(p, ">");
}

enum class Tag { Open, SelfClosed, Error };

// An element's start tag, `p` just after the '<'.
Tag readStartTag(const char*& p) {
    const char* name = p;
    while (isNameChar(*p)) {
        ++p;
    }
    if (p == name) {
        return Tag::Error;
    }
    skipSpace(p);
    while (isAttributeNameChar(*p)) {
        while (isAttributeNameChar(*p)) {
            ++p;
        }
        skipSpace(p);
        if (*p != '=') {
            return Tag::Error;
        }
        ++p;
        skipSpace(p);
        char quote = *p;
        if (quote != '"' && quote != '\'') {
            return Tag::Error;
        }
        ++p;
        while (*p != quote && *p != '\0') {
            ++p;
        }
        if (*p == '\0') {
            return Tag::Error;
        }
        ++p;
        skipSpace(p);
    }
    if (*p == '>') {
        ++p;
        return Tag::Open;
    }
    if (p[0] == '/' && p[1] == '>') {
        p += 2;
        return Tag::SelfClosed;
    }
    return Tag::Error;
}

// A closing tag, `p` just after the "</".
bool readEndTag(const char*& p) {
    while (isNameChar(*p)) {
        ++p;
    }
    skipSpace(p);
    if (*p != '>') {
        return false;
    }
    ++p;
    return true;
}

} // namespace

int xmlNestingDepth(const char* text) {
    const char* p = text;
    if (startsWith(p, "\xEF\xBB\xBF")) {
        p += 3;
    }
    int depth = 0;
    int deepest = 0;
    while (true) {
        skipSpace(p);
        if (*p == '\0') {
            return deepest;
        }
        if (*p != '<') {
            // Text is only allowed inside an element; it runs up to the next '<'.
            if (depth == 0) {
                return deepest;
            }
            while (*p != '<' && *p != '\0') {
                ++p;
            }
            continue;
        }
        ++p;
        if (*p == '/') {
            ++p;
            if (depth == 0 || !readEndTag(p)) {
                return deepest;
            }
            --depth;
        } else if (*p == '?' || *p == '!') {
            if (!skipMarkup(p)) {
                return deepest;
            }
        } else {
            Tag tag = readStartTag(p);
            if (tag == Tag::Error) {
                return deepest;
            }
            deepest = std::max(deepest, depth + 1);
            if (tag == Tag::Open) {
                ++depth;
            }
        }
    }
}

void parseXml(rapidxml::xml_document<>& document, char* text) {
    if (xmlNestingDepth(text) > maxXmlNesting) {
        throw std::runtime_error("elements nest more than " + std::to_string(maxXmlNesting) + " deep");
    }
    document.parse<0>(text);
}
