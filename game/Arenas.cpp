#include "game/Arenas.hpp"

#include <algorithm>

const std::vector<ArenaInfo>& arenas() {
    static const std::vector<ArenaInfo> list = {
        {"isles", "magicmap", "../assets/tilemap/zefMap.tmx", "Floating Isles",
         "..\\assets\\gui\\arena_isles.png", "music isles"},
        {"spires", "spiresmap", "../assets/tilemap/spiresMap.tmx", "Sunrise Spires",
         "..\\assets\\gui\\arena_spires.png", "music spires"},
        {"crossing", "crossingmap", "../assets/tilemap/crossingMap.tmx", "Moonlit Crossing",
         "..\\assets\\gui\\arena_crossing.png", "music crossing"},
    };
    return list;
}

namespace {
std::vector<ArenaInfo>::const_iterator findArena(const std::string& key) {
    return std::find_if(arenas().begin(), arenas().end(),
                        [&key](const ArenaInfo& arena) { return arena.key == key; });
}
} // namespace

const ArenaInfo& arenaByKey(const std::string& key) {
    const auto found = findArena(key);
    return found != arenas().end() ? *found : arenas().front();
}

bool isArenaChoice(const std::string& key) {
    return key == randomArenaKey() || findArena(key) != arenas().end();
}

const ArenaInfo& arenaAfter(const std::string& key) {
    const auto found = findArena(key);
    if (found == arenas().end() || found + 1 == arenas().end()) {
        return arenas().front();
    }
    return *(found + 1);
}

std::string arenaChoicesText() {
    std::string text;
    for (const auto& arena : arenas()) {
        text += arena.key + ", ";
    }
    return text.substr(0, text.size() - 2) + " or " + randomArenaKey();
}
