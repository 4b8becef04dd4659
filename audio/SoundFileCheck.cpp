#include "audio/SoundFileCheck.hpp"

#include <fstream>
#include <map>

#include <SFML/Audio/InputSoundFile.hpp>

#include "audio/SoundManager.hpp"
#include "core/ContentRoot.hpp"
#include "core/LibraryErrorLog.hpp"
#include "core/Report.hpp"

namespace {
// Empty when the file can be played, else why not.
std::string problemWith(const std::string& path) {
    if (!std::ifstream(path, std::ios::binary)) {
        return "cannot open the file";
    }
    // SFML explains its own failures on its error stream; here they become
    // this program's one line.
    const LibraryErrorLog::Quiet quiet;
    sf::InputSoundFile file;
    const bool readable = file.openFromFile(path);
    return readable ? std::string() : "not a sound file that can be played";
}
} // namespace

std::set<std::string> checkSoundFiles(const SoundManager& sounds) {
    std::set<std::string> unplayable;
    // Several names may share one file: each file is checked and reported once.
    std::map<std::string, std::string> problems;
    for (const auto& [name, file] : sounds.soundPaths) {
        const std::string path = contentPath(file);
        auto found = problems.find(path);
        if (found == problems.end()) {
            found = problems.emplace(path, problemWith(path)).first;
            if (!found->second.empty()) {
                reportProblem("Couldn't load sound %s: %s", path.c_str(), found->second.c_str());
            }
        }
        if (!found->second.empty()) {
            unplayable.insert(name);
        }
    }
    return unplayable;
}
