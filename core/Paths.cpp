#include "core/Paths.hpp"

std::string normalisePath(std::string path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

std::string directoryOfPath(const std::string& path) {
    std::string normalised = normalisePath(path);
    const auto slash = normalised.rfind('/');
    return slash == std::string::npos ? std::string() : normalised.substr(0, slash + 1);
}
