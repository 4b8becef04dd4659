#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <SFML/Window/Event.hpp>

#include "core/replay/ReplayFormat.hpp"

class InputManager;

// A recorded run read back: the whole file is read and checked by `load`
// before a single frame is played, so a damaged file fails at once and never
// half-way through a match. Frames are then walked with a cursor: `advance`
// moves to the next frame, and the accessors read the current one.
class ReplayReader {
public:
    // Reads and checks the file (format, version, every number, the end line
    // and its frame count). False, with a one-line `problem` naming the file
    // and what is wrong, for anything that is not a complete replay of this
    // version; the reader is then empty.
    bool load(const std::string& path, std::string& problem);
    // Whether the replay fits this game: the same fixed step and exactly the
    // input actions and axes the InputManager has. False with `problem` otherwise.
    bool matches(const InputManager& input, float fixedStep, std::string& problem) const;

    const replayFormat::Header& getHeader() const { return header; }
    size_t frameCount() const { return deltas.size(); }
    // Moves to the next frame (the first on the first call). False when every
    // frame has been played; the cursor then stays on the last one.
    bool advance();
    // Frames moved to so far (0 before the first `advance`).
    size_t framesPlayed() const { return started ? current + 1 : 0; }
    // Back before the first frame, as just loaded.
    void rewind() {
        current = 0;
        started = false;
    }
    // The cursor where `played` frames of `advance` leave it (0: as just
    // loaded), at most the whole file: a saved state of the game goes back
    // with the frame it was saved after.
    void seek(size_t played) {
        played = played < deltas.size() ? played : deltas.size();
        started = played > 0;
        current = started ? played - 1 : 0;
    }
    // Whether `advance` would find another frame.
    bool hasNextFrame() const { return started ? current + 1 < deltas.size() : !deltas.empty(); }
    // The current frame (before the first `advance`: zero delta, nothing down).
    float getDelta() const;
    bool isActionDown(const std::string& name) const;
    // Whether the action was pressed since the frame before (a tap between two frames included).
    bool wasActionTapped(const std::string& name) const;
    float getAxisValue(const std::string& name) const;
    // The window events of the current frame, in the order they came.
    std::vector<sf::Event> getEvents() const;

private:
    void clear();
    bool parse(const std::string& text, std::string& problem);

    std::string path;
    replayFormat::Header header;
    std::map<std::string, size_t> actionColumns;
    std::map<std::string, size_t> axisColumns;
    // Frame by frame, flat: one delta, actions.size() action states
    // (replayFormat's down and tapped bits), axes.size() values.
    std::vector<float> deltas;
    std::vector<uint8_t> downs;
    std::vector<float> values;
    // Every recorded window event with its frame, in file order.
    std::vector<std::pair<size_t, sf::Event>> events;
    size_t current = 0;
    bool started = false;
};
