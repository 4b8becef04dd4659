// libFuzzer harness for the whole road of a map file: MapStore::loadMap reads
// and parses it and cuts its tilesets (small images the harness provides),
// then instantiate paints its tile layers and builds its objects with every
// registered component creator, in a real physics world and render manager,
// and a few frames run in the main loop's order. Any input must be refused
// with one line or give a scene that runs; a crash, a hang or a sanitizer
// report is a fault. Needs an X display for OpenGL (run it under Xvfb).
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <SFML/Graphics/RenderTexture.hpp>

#include "FuzzFiles.hpp"
#include "app/Engine.hpp"
#include "game/GameCreators.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/AssetManager.hpp"
#include "render/RenderManager.hpp"
#include "render/tiles/TileAtlas.hpp"
#include "scene/GameObjectManager.hpp"

namespace {

struct Fixture {
    sf::RenderTexture& target = fuzzFiles::newCanvas(64, 64);
    std::vector<std::shared_ptr<Layer>> renderLayers;
    // The collision layers as they were before any input, by value: a map's
    // rules change the filters of the layers they name.
    std::map<std::string, b2Filter> collisionLayers;
};

Fixture& fixture() {
    static Fixture* made = [] {
        auto* fixture = new Fixture();
        // The names our maps and the test maps use, at small sizes: every
        // tileset of the seeds finds an image, and loading one stays cheap.
        fuzzFiles::writeImage("tiles.png", 128, 128);
        fuzzFiles::writeImage("tall.png", 32, 32);
        fuzzFiles::writeImage("glass.png", 16, 16);
        fuzzFiles::writeImage("sky.png", 64, 256);
        fuzzFiles::writeImage("distant.png", 256, 192);
        fuzzFiles::writeImage("islands.png", 128, 128);
        fuzzFiles::writeImage("foliage.png", 128, 64);
        fuzzFiles::writeImage("crate.png", 64, 64);
        fuzzFiles::writeImage("player.png", 64, 64);
        // The editor-feature seeds: a spaced tileset, big tiles, repeated pictures.
        fuzzFiles::writeImage("spaced.png", 77, 58);
        fuzzFiles::writeImage("big.png", 64, 32);
        fuzzFiles::writeImage("backdrop.png", 40, 24);
        connectEngine();
        registerGameCreators(GameObjectManager::instance());
        fixture->renderLayers = RenderManager::instance().layers;
        for (const auto& [name, layer] : PhysicsManager::instance().layers) {
            fixture->collisionLayers.emplace(name, layer->filter);
        }
        return fixture;
    }();
    return *made;
}

void runFrames() {
    auto& objects = GameObjectManager::instance();
    auto& physics = PhysicsManager::instance();
    const float step = 1.f / 60.f;
    for (int frame = 1; frame <= 3; ++frame) {
        const float time = step * static_cast<float>(frame);
        physics.flushPendingDestructions();
        for (size_t i = 0; i < objects.persistentObjects.size(); ++i) {
            auto object = objects.persistentObjects[i];
            object->fixedUpdate(step, time);
        }
        physics.stepWorld(step);
        physics.clearForces();
        objects.update(step, time);
        RenderManager::instance().drawAll(fixture().target, step, time);
    }
}

// Everything one input built goes, so that the next input meets the same
// start and memory does not grow from run to run.
void releaseEverything() {
    auto& objects = GameObjectManager::instance();
    objects.clear(true);
    objects.pendingAdditions.clear();
    objects.pendingDestructions.clear();
    PhysicsManager::instance().flushPendingDestructions();
    MapStore::instance().maps.clear();
    MapStore::instance().mapDirectories.clear();
    auto& assets = AssetManager::instance();
    assets.sprites.clear();
    assets.textures.clear();
    assets.spriteSources.clear();
    // The bordered tileset copies were made from the textures just freed.
    TileAtlas::instance().clear();
    auto& render = RenderManager::instance();
    render.layers = fixture().renderLayers;
    render.renderables.clear();
    render.mainCamera.reset();
    auto& layers = PhysicsManager::instance().layers;
    layers.clear();
    for (const auto& [name, filter] : fixture().collisionLayers) {
        auto layer = std::make_shared<CollisionLayer>(name, filter.categoryBits);
        layer->filter = filter;
        layers.emplace(name, layer);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fixture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fixture();
    const std::string path = fuzzFiles::writeInput("map.tmx", data, size);
    PhysicsManager::instance().createWorld(0.f, 10.f, 100.f);
    if (MapStore::instance().loadMap(path, "fuzz")) {
        std::shared_ptr<GameObject> tileLayers;
        std::vector<std::shared_ptr<GameObject>> built;
        MapStore::instance().instantiate("fuzz", tileLayers, built, true, false);
        tileLayers.reset();
        built.clear();
        runFrames();
    }
    releaseEverything();
    return 0;
}
