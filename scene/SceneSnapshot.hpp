#pragma once

#include "core/StateIo.hpp"

// The scene's part of a match snapshot: which objects are listed (and
// pending) in which order, each object's own fields (activity, tags, parent,
// its components in order, what it touches) and each component's state
// (`Component::snapshotState`). It holds every object and component it
// names, so those destroyed or taken off after the save come back as the
// very same ones.
//
// A restore comes in two halves, both before the physics world's: the
// objects first (objects made since the save let go of their bodies and
// leave, the ones destroyed since come back; components likewise), then the
// components' state (a joint's limits, say), so that the world's restore
// finds every component whose body, fixture or joint it must make again, as
// it was, and has the last word on what Box2D keeps.
struct SceneSnapshot {
    SavedState objects;
    SavedState components;
    // Where each object's components begin in `components`: its serial and
    // the offset, in order.
    std::vector<std::pair<uint32_t, size_t>> componentStarts;

    size_t byteSize() const;
};

// The GameObjectManager's scene now, between two frames.
void saveScene(SceneSnapshot& into);
// Both halves, objects then components; the world's restore follows.
void restoreScene(const SceneSnapshot& snapshot);

// The serial of the first object whose components' state differs between
// two snapshots of the scene, or 0 when none does.
uint32_t firstDifferingObject(const SceneSnapshot& a, const SceneSnapshot& b);
