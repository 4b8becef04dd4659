#include "core/RandomSource.hpp"

RandomSource& RandomSource::instance() {
    static RandomSource source;
    return source;
}

RandomSource& RandomSource::forShow() {
    static RandomSource source;
    return source;
}

RandomSource::RandomSource() {
    // Not through `seed`, which asks for the process-wide sources: this may
    // be one of them under construction.
    restart(defaultSeed);
}

void RandomSource::restart(uint32_t value) {
    seedValue = value;
    // Spread the seed over the whole state, so that small neighbouring seeds
    // do not start with similar numbers.
    state = value * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull;
}

void RandomSource::reset() {
    *this = RandomSource();
}

void RandomSource::seed(uint32_t value) {
    // The run's seed starts what shows the same way too, so a replay shows
    // what its recording showed.
    if (this == &instance()) {
        forShow().restart(value);
    }
    restart(value);
}

uint32_t RandomSource::next() {
    // splitmix64: one multiply-xorshift round per number, fully defined by
    // these constants, so the sequence is the same everywhere.
    state += 0x9E3779B97F4A7C15ull;
    uint64_t mixed = state;
    mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9ull;
    mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBull;
    mixed ^= mixed >> 31;
    return static_cast<uint32_t>(mixed >> 32);
}

float RandomSource::nextHundredth() {
    return static_cast<float>(next() % 100) / 100.0f;
}
