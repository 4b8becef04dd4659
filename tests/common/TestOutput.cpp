#include "common/TestOutput.hpp"

#include <filesystem>

std::string testOutputPath(const std::string& name) {
    const std::filesystem::path path = std::filesystem::path(VORLUNE_BINARY_DIR) / "test-output" / name;
    std::filesystem::create_directories(path.parent_path());
    return path.string();
}
