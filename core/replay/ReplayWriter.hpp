#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <SFML/Window/Event.hpp>

#include "core/replay/ReplayFormat.hpp"

class InputManager;

// Records a run: what every frame sampled (its delta, each button action's
// down state, each axis's value) and the window events the GUI was given,
// one line per frame, in the format described in ReplayFormat.hpp.
// The columns are the InputManager's actions and axes when the recording opens.
class ReplayWriter {
public:
    ReplayWriter() = default;
    ~ReplayWriter();
    ReplayWriter(const ReplayWriter&) = delete;
    ReplayWriter& operator=(const ReplayWriter&) = delete;

    // How the file comes to be: written over when it is there, or only ever
    // a new one (never through a file or link already at the path, which in a
    // shared folder someone else may have put there).
    enum class Creation { replace, newOnly };

    // Creates (or truncates) the file and writes the header; `start` (empty,
    // or one line of at most maxNameLength) says where the run begins. False,
    // with a one-line `problem`, when the file cannot be written.
    bool open(const std::string& path, const InputManager& input, uint32_t seed, float fixedStep,
              const std::string& start, std::string& problem, Creation creation = Creation::replace);
    // A run recorded from start-up.
    bool open(const std::string& path, const InputManager& input, uint32_t seed, float fixedStep,
              std::string& problem) {
        return open(path, input, seed, fixedStep, "", problem);
    }
    bool isOpen() const { return file != nullptr; }
    // One frame, read from the InputManager just after it sampled the frame.
    void writeFrame(float delta, const InputManager& input, const std::vector<sf::Event>& events);
    // Writes the end line and closes the file. False, with `problem`, when
    // any write failed (the file is then incomplete and reads as damaged).
    bool finish(std::string& problem);

private:
    std::FILE* file = nullptr;
    std::string path;
    replayFormat::Header header;
    size_t frames = 0;
    std::string line;
};
