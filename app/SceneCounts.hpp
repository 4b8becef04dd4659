#pragma once

#include <cstddef>
#include <string>

// How much of everything the running game holds right now: the scene, the
// physics world and the engine's registries. Taken at the same moment of two
// matches, the same figures mean nothing was left over from the first.
struct SceneCounts {
    size_t objects = 0;
    size_t bodies = 0;
    size_t joints = 0;
    size_t particles = 0;
    // Live entries of the engine's registries (event listeners and keys,
    // renderables) and its render layers: any of them that grows from match
    // to match is a leak, even if each entry is small.
    size_t listeners = 0;
    size_t renderables = 0;
    size_t layers = 0;

    // The counts now.
    static SceneCounts take();

    // Whether nothing that must come back to the same number differs (particles may).
    bool sameHoldings(const SceneCounts& other) const;
    // "objects 41 bodies 37 joints 30 listeners 12 renderables 60 layers 9".
    std::string describe() const;
};

// The process's resident set now (VmRSS) and at its peak (VmHWM), in
// kilobytes; 0 where unknown.
long residentKilobytes();
long peakResidentKilobytes();

// The name of the first game object whose place (or whose body's place) is
// not a finite number, or empty when every place is.
std::string firstObjectNotFinite();
