#include "game/online/OnlineRecordings.hpp"

#include <filesystem>

namespace onlineRecordings {

std::string chosenFor(const std::string& chosen, int match) {
    if (match <= 1) {
        return chosen;
    }
    const std::filesystem::path path(chosen);
    std::filesystem::path numbered = path.parent_path();
    numbered /= path.stem().string() + "-" + std::to_string(match) + path.extension().string();
    return numbered.string();
}

std::string inFolder(const std::string& folder, const std::string& side, int attempt) {
    return (std::filesystem::path(folder) /
            ("vorlune-online-" + side + "-" + std::to_string(attempt) + ".replay"))
        .string();
}

} // namespace onlineRecordings
