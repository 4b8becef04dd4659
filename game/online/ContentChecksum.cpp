#include "game/online/ContentChecksum.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/ContentRoot.hpp"

uint32_t contentChecksum(const std::string& folder) {
    uint32_t hash = 2166136261u;
    const auto add = [&hash](const char* data, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            hash = (hash ^ static_cast<unsigned char>(data[i])) * 16777619u;
        }
    };
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(contentPath(folder), error)) {
        if (entry.is_regular_file(error)) {
            files.push_back(entry.path());
        }
    }
    // The same files give the same value whatever order the folder lists them in.
    std::sort(files.begin(), files.end());
    std::vector<char> buffer(1 << 16);
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        add(name.data(), name.size() + 1);
        std::ifstream file(path, std::ios::binary);
        while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || file.gcount() > 0) {
            add(buffer.data(), static_cast<size_t>(file.gcount()));
        }
    }
    return hash;
}
