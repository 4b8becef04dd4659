#pragma once

#include <string>
#include <vector>

// The arenas a match can be played on, in the order the arena page shows
// them. Each is a map the game loads at start under `mapName`, with the
// arena page's picture and title and the track its match plays.
struct ArenaInfo {
    // Its name in the settings file and on the command line ("isles").
    std::string key;
    // The MapStore's name for its map, and the map file.
    std::string mapName;
    std::string mapFile;
    // What the arena page shows.
    std::string title;
    std::string picture;
    // The SoundManager's name of its music.
    std::string music;
};

// Every arena, the first of them the one a match has when nothing chose.
const std::vector<ArenaInfo>& arenas();
// The arena of that key; the first arena for any other key.
const ArenaInfo& arenaByKey(const std::string& key);
// The choice that draws an arena at random when the match starts.
inline const char* randomArenaKey() {
    return "random";
}
// Whether `key` names an arena or the random choice.
bool isArenaChoice(const std::string& key);
// "isles, spires, crossing or random": the choices, for messages.
std::string arenaChoicesText();
// The arena after `key` in the list, round to the first after the last.
const ArenaInfo& arenaAfter(const std::string& key);
