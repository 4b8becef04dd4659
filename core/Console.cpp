#include "core/Console.hpp"

Console::Console(std::FILE* out, Console* sharesScreenWith) : out(out), sharesScreenWith(sharesScreenWith) {}

Console& Console::standardOutput() {
    // Never destroyed (the type has nothing to free): a report written while
    // other statics are torn down at exit still finds it.
    static Console console(stdout);
    return console;
}

Console& Console::standardError() {
    // Never destroyed, as standard output's.
    static Console console(stderr, &standardOutput());
    return console;
}

void Console::rewriteLine(const std::string& text) {
    std::fputc('\r', out);
    std::fwrite(text.data(), 1, text.size(), out);
    lineOpen = true;
    // A line without its end would otherwise wait in the buffer.
    std::fflush(out);
}

void Console::endLine() {
    if (!lineOpen) {
        return;
    }
    std::fputc('\n', out);
    lineOpen = false;
    std::fflush(out);
}

void Console::writeLines(const std::string& text) {
    if (sharesScreenWith) {
        sharesScreenWith->endLine();
    }
    if (lineOpen) {
        std::fputc('\n', out);
        lineOpen = false;
    }
    std::fwrite(text.data(), 1, text.size(), out);
    if (text.empty() || text.back() != '\n') {
        std::fputc('\n', out);
    }
    std::fflush(out);
}
