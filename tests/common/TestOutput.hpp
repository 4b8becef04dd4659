#pragma once

#include <filesystem>
#include <fstream>
#include <string>

// A folder of the build for files a test writes (never the working directory),
// made on first use; `name` is the file's name inside it.
inline std::string testOutputPath(const std::string& folder, const std::string& name) {
    const std::filesystem::path directory =
        std::filesystem::path(VORLUNE_BINARY_DIR) / "test-output" / folder;
    std::filesystem::create_directories(directory);
    return (directory / name).string();
}

inline std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void writeWholeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}
