#include "app/SceneCounts.hpp"

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "core/EventManager.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
long statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::atol(line.c_str() + prefix.size());
        }
    }
    return 0;
}

// Expired entries of these lists are dropped lazily (at the next event, the
// next drawing), so only the live ones tell what is still held.
template <class Entry> size_t liveEntries(const std::vector<std::weak_ptr<Entry>>& list) {
    size_t live = 0;
    for (const auto& entry : list) {
        live += entry.expired() ? 0 : 1;
    }
    return live;
}

} // namespace

SceneCounts SceneCounts::take() {
    SceneCounts counts;
    auto& objects = GameObjectManager::instance();
    counts.objects = objects.sceneObjects.size() + objects.persistentObjects.size();
    GameObjectManager::instance().forEachObject([&](const std::shared_ptr<GameObject>& object) {
        for (const auto& emitter : object->getComponents<ParticleSystemComponent>()) {
            counts.particles += emitter->particles.size();
        }
    });
    if (const auto& world = PhysicsManager::instance().world) {
        counts.bodies = static_cast<size_t>(world->GetBodyCount());
        counts.joints = static_cast<size_t>(world->GetJointCount());
    }
    const auto& events = EventManager::instance();
    counts.listeners = liveEntries(events.listeners) + liveEntries(events.keys);
    const auto& render = RenderManager::instance();
    counts.renderables = liveEntries(render.renderables);
    counts.layers = render.layers.size();
    return counts;
}

bool SceneCounts::sameHoldings(const SceneCounts& other) const {
    return objects == other.objects && bodies == other.bodies && joints == other.joints &&
           listeners == other.listeners && renderables == other.renderables && layers == other.layers;
}

std::string SceneCounts::describe() const {
    return "objects " + std::to_string(objects) + " bodies " + std::to_string(bodies) + " joints " +
           std::to_string(joints) + " listeners " + std::to_string(listeners) + " renderables " +
           std::to_string(renderables) + " layers " + std::to_string(layers);
}

long residentKilobytes() {
    return statusKilobytes("VmRSS");
}

long peakResidentKilobytes() {
    return statusKilobytes("VmHWM");
}

std::string firstObjectNotFinite() {
    std::string found;
    const auto finite = [](float x, float y) { return std::isfinite(x) && std::isfinite(y); };
    GameObjectManager::instance().forEachObject([&](const std::shared_ptr<GameObject>& object) {
        if (!found.empty()) {
            return;
        }
        const sf::Vector2f at = object->transform->getPosition();
        bool ok = finite(at.x, at.y);
        if (b2Body* body = object->rigidBody ? object->rigidBody->liveBody() : nullptr) {
            const b2Vec2 place = body->GetPosition();
            ok = ok && finite(place.x, place.y);
        }
        if (!ok) {
            found = object->name.empty() ? "(unnamed)" : object->name;
        }
    });
    return found;
}
