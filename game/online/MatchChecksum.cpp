#include "game/online/MatchChecksum.hpp"

#include <cstring>

#include <box2d/b2_body.h>
#include <box2d/b2_world.h>

#include "core/RandomSource.hpp"
#include "game/PlayerNames.hpp"
#include "game/player/PlayerView.hpp"
#include "physics/PhysicsManager.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// FNV-1a, 32 bits, over the bytes of each value in turn.
class Fnv1a {
public:
    void add(const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash = (hash ^ bytes[i]) * 16777619u;
        }
    }
    void addFloat(float value) {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        add(&bits, sizeof bits);
    }
    void addInt(int64_t value) { add(&value, sizeof value); }
    uint32_t value() const { return hash; }

private:
    uint32_t hash = 2166136261u;
};
} // namespace

uint32_t matchChecksum() {
    Fnv1a hash;
    if (const auto world = PhysicsManager::instance().world) {
        for (const b2Body* body = world->GetBodyList(); body; body = body->GetNext()) {
            hash.addFloat(body->GetPosition().x);
            hash.addFloat(body->GetPosition().y);
            hash.addFloat(body->GetAngle());
            hash.addFloat(body->GetLinearVelocity().x);
            hash.addFloat(body->GetLinearVelocity().y);
            hash.addFloat(body->GetAngularVelocity());
        }
    }
    for (int number = 1; number <= 2; ++number) {
        const auto object = GameObjectManager::instance().findGameObject(playerObjectName(number));
        const auto controller = object ? findPlayerController(*object) : nullptr;
        if (controller) {
            const PlayerView player(*controller);
            hash.addInt(player.lives());
            hash.addInt(player.segmentCount());
        } else {
            hash.addInt(-1);
        }
    }
    hash.addInt(static_cast<int64_t>(RandomSource::instance().getState()));
    return hash.value();
}
