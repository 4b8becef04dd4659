#include "game/MatchRecordings.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/Report.hpp"
#include "game/Arenas.hpp"

MatchRecordings::~MatchRecordings() {
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
}

std::string MatchRecordings::next() {
    forget();
    if (folder.empty()) {
        std::error_code error;
        const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
        if (error) {
            reportProblem("this match is not recorded: no temporary folder (%s)", error.message().c_str());
            return "";
        }
        // mkdtemp makes the folder new, for this user alone.
        std::string pattern = (temporary / "vorlune-matches-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!mkdtemp(name.data())) {
            reportProblem("this match is not recorded: no folder of its own in %s", temporary.c_str());
            return "";
        }
        folder = name.data();
    }
    current = (std::filesystem::path(folder) / ("match-" + std::to_string(++made) + ".replay")).string();
    return current;
}

void MatchRecordings::forget() {
    if (!current.empty()) {
        std::error_code ignored;
        std::filesystem::remove(current, ignored);
    }
    current.clear();
    complete = false;
}

std::string localMatchStart(const PlayerSetup& setup) {
    std::string players;
    for (int number : {1, 2}) {
        players += setup.isComputer(number) ? 'c' : 'p';
    }
    return "local lives=" + std::to_string(setup.livesPerMatch) + " arena=" + setup.matchArena +
           " players=" + players;
}

bool readLocalMatchStart(const std::string& line, PlayerSetup& setup) {
    int lives = 0;
    char arena[32] = "";
    char players[3] = "";
    int used = 0;
    if (std::sscanf(line.c_str(), "local lives=%d arena=%31[a-z] players=%2[pc]%n", &lives, arena, players,
                    &used) != 3 ||
        line[static_cast<size_t>(used)] != '\0' || players[1] == '\0' || lives < 0 ||
        lives > PlayerSetup::mostLives || !isArenaChoice(arena) || arena == std::string(randomArenaKey())) {
        return false;
    }
    setup.livesPerMatch = lives;
    setup.matchArena = arena;
    setup.setComputer(1, players[0] == 'c');
    setup.setComputer(2, players[1] == 'c');
    return true;
}
