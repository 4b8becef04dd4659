#pragma once

#include <cstdint>

// The engine's one source of random numbers for the simulation (particles and
// anything else that must come out the same on every run of the same input).
// A fixed, fully specified generator rather than the C library's rand(): no
// library the program loads can advance it, and the same seed gives the same
// sequence on every build and platform. Process-wide; reseeded by the game at
// the start of a recording or a replay.
class RandomSource {
public:
    static constexpr uint32_t defaultSeed = 1;

    static RandomSource& instance();
    // A second sequence, for what only shows (particles): drawing from it
    // never moves the simulation's, so what a match does cannot depend on
    // how much was shown (a match played again from a snapshot shows its
    // particles again).
    static RandomSource& forShow();
    // Back to the just-constructed source: seeded with `defaultSeed`.
    void reset();

    // Restarts the sequence; the same seed gives the same numbers again.
    // Seeding the simulation's sequence seeds the one for what shows alike.
    void seed(uint32_t value);
    uint32_t getSeed() const { return seedValue; }
    // Where the sequence stands: two sources with the same state give the
    // same numbers from here on (compared between two games playing online).
    uint64_t getState() const { return state; }
    // Back to where `getSeed` and `getState` read it (a match snapshot).
    void restore(uint32_t seedWas, uint64_t stateWas) {
        seedValue = seedWas;
        state = stateWas;
    }
    // The next number of the sequence, in 0 .. 2^32 - 1.
    uint32_t next();
    // One draw: 0.00, 0.01, ..., 0.99.
    float nextHundredth();

private:
    RandomSource();
    // `seed` for this source alone.
    void restart(uint32_t value);

    uint32_t seedValue = defaultSeed;
    uint64_t state = 0;
};
