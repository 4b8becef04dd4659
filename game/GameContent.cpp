#include "game/GameContent.hpp"

#include <set>
#include <string>
#include <utility>

#include "audio/SoundManager.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/AssetManager.hpp"

namespace {
const char* const characterAtlases[] = {"idle", "fall", "run", "jump_idle", "jump_run", "run_startup"};

std::string characterAtlasPath(const char* atlas) {
    return std::string("../assets/PNG/Player/") + atlas + ".xml";
}

// The atlases read since start-up or since they were released: a broken
// one is reported once, not every time the art is wanted again.
std::set<std::string>& characterAtlasesRead() {
    static std::set<std::string> read;
    return read;
}
} // namespace

std::string characterAtlasOf(const std::string& animation) {
    if (animation == "run_start" || animation == "run_stop") {
        return "run_startup";
    }
    return animation == "jump_run1" ? "jump_run" : animation;
}

void loadCharacterAtlas(AssetManager& assets, const std::string& atlas) {
    const std::string path = characterAtlasPath(atlas.c_str());
    if (characterAtlasesRead().insert(path).second) {
        assets.loadAtlasPixels(path);
    }
}

bool characterAtlasAtHand(AssetManager& assets, const std::string& atlas) {
    const std::string path = characterAtlasPath(atlas.c_str());
    if (characterAtlasesRead().count(path) != 0 || assets.atlasPixelsReady(path)) {
        return true;
    }
    assets.startLoadingAtlasPixels(path);
    return false;
}

void releaseCharacterAtlas(AssetManager& assets, const std::string& atlas) {
    const std::string path = characterAtlasPath(atlas.c_str());
    if (assets.atlasImages.count(path) > 0) {
        assets.unloadAtlas(path);
    }
    characterAtlasesRead().erase(path);
}

void loadEffectsArt(AssetManager& assets) {
    assets.loadTexture("../assets/PNG/vfx/particle.png", "particle.png");
}

void loadCharacterArt(AssetManager& assets) {
    for (const char* atlas : characterAtlases) {
        loadCharacterAtlas(assets, atlas);
    }
    loadEffectsArt(assets);
}

void forgetCharacterArtRead() {
    characterAtlasesRead().clear();
}

void releaseCharacterArt(AssetManager& assets) {
    for (const char* atlas : characterAtlases) {
        releaseCharacterAtlas(assets, atlas);
    }
}

const std::vector<std::pair<std::string, std::string>>& gameSoundFiles() {
    static const std::vector<std::pair<std::string, std::string>> table = {
        {"bg music", "../assets/sfx/music/Title Theme.ogg"},
        {"music isles", "../assets/sfx/music/Floating Isles.ogg"},
        {"music spires", "../assets/sfx/music/Sunrise Spires.ogg"},
        {"music crossing", "../assets/sfx/music/Moonlit Crossing.ogg"},
        {"ambient", "../assets/sfx/Light wind 1.wav"},
        {"footstep1", "../assets/sfx/Stone footstep 1.wav"},
        {"footstep2", "../assets/sfx/Stone footstep 4.wav"},
        {"footstep3", "../assets/sfx/Stone footstep 5.wav"},
        {"slash1", "../assets/sfx/Arm Swing, Whoosh 7.wav"},
        {"slash2", "../assets/sfx/Arm Swing, Whoosh 8.wav"},
        {"slash3", "../assets/sfx/Arm Swing, Whoosh 13.wav"},
        {"slash4", "../assets/sfx/Arm Swing, Whoosh 14.wav"},
        {"groundHit1", "../assets/sfx/Earth Punch 3.wav"},
        {"groundHit2", "../assets/sfx/Earth Punch 4.wav"},
        {"playerHit1", "../assets/sfx/Heavy punch 17.wav"},
        {"playerHit2", "../assets/sfx/Heavy punch 18.wav"},
        {"playerHit3", "../assets/sfx/Heavy punch 19.wav"},
        {"magic", "../assets/sfx/Magical Ambiance Loop 5.wav"},
        {"beardCut1", "../assets/sfx/Needle piercing flesh 1.wav"},
        {"beardCut2", "../assets/sfx/Needle piercing flesh 1.wav"},
        {"jump1", "../assets/sfx/Jump 1.wav"},
        {"jump2", "../assets/sfx/Jump 5.wav"},
        {"hover", "../assets/sfx/Hover over button sound 5.wav"},
        {"click", "../assets/sfx/Click sounds 36.wav"},
        {"death", "../assets/sfx/Debuff 12.wav"},
        {"respawn", "../assets/sfx/Buff 8.wav"},
    };
    return table;
}

void registerGameSounds(SoundManager& sounds) {
    for (const auto& [name, file] : gameSoundFiles()) {
        // The first registration of a name wins, as everywhere in the stores.
        sounds.soundPaths.emplace(name, file);
    }
}

void createPlayerCollisionLayers(PhysicsManager& physics) {
    for (const char* name : {"player1", "beard1", "player2", "beard2"}) {
        physics.getOrCreateCollisionLayer(name);
    }
    physics.setLayerCollision("player1", "beard1", false, true);
    physics.setLayerCollision("player2", "beard2", false, true);
}
