#pragma once

#include <stdexcept>
#include <string>

namespace widgets {

// A form file that cannot be read or breaks the form syntax. The message
// names the file, the line (when there is one) and what was expected:
// "../assets/gui/Menu.txt:14: expected ';' after the value of 'TextSize', found '}'".
class FormError : public std::runtime_error {
public:
    FormError(const std::string& file, int line, const std::string& problem)
        : std::runtime_error(line > 0 ? file + ":" + std::to_string(line) + ": " + problem
                                      : file + ": " + problem),
          file(file), line(line) {}

    std::string file;
    // 1-based; 0 when the problem is not on a line (the file cannot be opened).
    int line;
};

} // namespace widgets
