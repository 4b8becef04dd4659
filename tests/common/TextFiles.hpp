#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

// Whole-file reads and writes for tests that make or compare small text files.
inline std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void writeWholeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Everything written so far to a file open for reading and writing (a
// std::tmpfile standing in for standard output).
inline std::string writtenSoFar(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        text += static_cast<char>(c);
    }
    return text;
}
