#include "core/Report.hpp"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "core/Console.hpp"

namespace {
std::string formatted(const char* format, std::va_list arguments) {
    std::va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length <= 0) {
        return std::string();
    }
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    return std::string(text.data(), static_cast<size_t>(length));
}

void report(Console& console, const char* format, std::va_list arguments) {
    console.writeLines(asOneLine(formatted(format, arguments)));
}
} // namespace

std::string asOneLine(const std::string& text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) {
        --end;
    }
    std::string line;
    line.reserve(end);
    for (size_t i = 0; i < end; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            line += "\\n";
        } else if (c == '\r') {
            line += "\\r";
        } else if ((c < 0x20 && c != '\t') || c == 0x7f) {
            // Any other control character could move the terminal's cursor too.
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            line += escape;
        } else {
            line += static_cast<char>(c);
        }
    }
    return line;
}

void reportProblem(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    report(Console::standardError(), format, arguments);
    va_end(arguments);
}

void reportProblem(Console& console, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    report(console, format, arguments);
    va_end(arguments);
}

void reportProblemWithDetail(const std::string& headline, const std::string& detail) {
    reportProblemWithDetail(Console::standardError(), headline, detail);
}

void reportProblemWithDetail(Console& console, const std::string& headline, const std::string& detail) {
    console.writeLines(asOneLine(headline) + "\n" + asOneLine(detail));
}
