#pragma once

#include <memory>

class GameObject;
class ParticleSystemComponent;

// The particle emitters of a player and of its beard segments, with their
// tuned settings. All draw "particle.png" centred, in world space, and start
// switched off.
enum class PlayerEmitter {
    // Player: one 400-particle burst on magic and respawn (layer "Platforms", depth 1).
    magic,
    // Player: dust under running feet (layer "Platforms", depth 1).
    dust,
    // Segment: the cyan trail rising while magic is held (layer "Players", depth 10).
    trail,
    // Segment: one burst where the tip grabs something.
    hit,
    // Segment: one burst where the tip cuts a beard, in the victim's hair colour.
    cut,
};

// Adds the emitter to `object`; empty when the object is.
std::shared_ptr<ParticleSystemComponent> addPlayerEmitter(const std::shared_ptr<GameObject>& object,
                                                          PlayerEmitter kind);

// Switches an emitter on for its next emission (one burst when its limit is
// 1), or off. Empty emitters are ignored.
void startEmitter(const std::shared_ptr<ParticleSystemComponent>& emitter);
void stopEmitter(const std::shared_ptr<ParticleSystemComponent>& emitter);
