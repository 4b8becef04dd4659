#include "core/replay/ReplayWriter.hpp"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "core/input/InputManager.hpp"

namespace {
// A file that did not exist before: the call fails on anything at the path,
// a dangling link included.
std::FILE* openNew(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* opened = fdopen(descriptor, "wb");
    if (!opened) {
        const int error = errno;
        ::close(descriptor);
        errno = error;
    }
    return opened;
}
} // namespace

ReplayWriter::~ReplayWriter() {
    if (file) {
        std::fclose(file);
    }
}

bool ReplayWriter::open(const std::string& filePath, const InputManager& input, uint32_t seed,
                        float fixedStep, const std::string& start, std::string& problem, Creation creation) {
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    path = filePath;
    frames = 0;
    header = replayFormat::Header();
    header.seed = seed;
    header.fixedStep = fixedStep;
    header.start = start;
    if (start.size() > replayFormat::maxNameLength || start.find_first_of("\r\n") != std::string::npos) {
        problem = "Replay " + path + ": the start '" + start + "' cannot be recorded";
        return false;
    }
    for (const auto& entry : input.actions) {
        header.actionNames.push_back(entry.first);
    }
    for (const auto& entry : input.axes) {
        header.axisNames.push_back(entry.first);
    }
    // Names go on a line of their own; one the reader would refuse must not be written.
    for (const auto* names : {&header.actionNames, &header.axisNames}) {
        for (const auto& name : *names) {
            if (name.empty() || name.size() > replayFormat::maxNameLength ||
                name.find_first_of("\r\n") != std::string::npos) {
                problem = "Replay " + path + ": the input name '" + name + "' cannot be recorded";
                return false;
            }
        }
    }
    if (header.actionNames.size() > replayFormat::maxNames ||
        header.axisNames.size() > replayFormat::maxNames) {
        problem = "Replay " + path + ": too many input actions to record";
        return false;
    }
    file = creation == Creation::replace ? std::fopen(path.c_str(), "wb") : openNew(path);
    if (!file) {
        problem = "Replay " + path + ": cannot write the file (" + std::strerror(errno) + ")";
        return false;
    }
    std::fprintf(file, "%s %d\nseed %u\nstep %s\n", replayFormat::magic, replayFormat::version, seed,
                 replayFormat::formatFloat(fixedStep).c_str());
    if (!start.empty()) {
        std::fprintf(file, "start %s\n", start.c_str());
    }
    for (const auto& name : header.actionNames) {
        std::fprintf(file, "action %s\n", name.c_str());
    }
    for (const auto& name : header.axisNames) {
        std::fprintf(file, "axis %s\n", name.c_str());
    }
    return true;
}

void ReplayWriter::writeFrame(float delta, const InputManager& input, const std::vector<sf::Event>& events) {
    if (!file) {
        return;
    }
    line = "f ";
    line += replayFormat::formatFloat(delta);
    line += ' ';
    if (header.actionNames.empty()) {
        line += '-';
    }
    for (const auto& name : header.actionNames) {
        const auto found = input.actions.find(name);
        const bool known = found != input.actions.end();
        const int state = (known && found->second->down ? replayFormat::downBit : 0) |
                          (known && found->second->tapped ? replayFormat::tappedBit : 0);
        line += static_cast<char>('0' + state);
    }
    for (const auto& name : header.axisNames) {
        // The recorded value is what the game read this frame: the per-frame sample.
        const auto found = input.axes.find(name);
        line += ' ';
        line += replayFormat::formatFloat(found != input.axes.end() ? found->second->sampledValue : 0.0f);
    }
    line += '\n';
    size_t written = 0;
    for (const auto& event : events) {
        const std::string fields = replayFormat::encodeEvent(event);
        if (!fields.empty() && written < replayFormat::maxEventsPerFrame) {
            line += "g " + fields + "\n";
            ++written;
        }
    }
    std::fputs(line.c_str(), file);
    ++frames;
}

bool ReplayWriter::finish(std::string& problem) {
    if (!file) {
        return true;
    }
    std::fprintf(file, "end %zu\n", frames);
    const bool failed = std::ferror(file) != 0;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (failed || !closed) {
        problem = "Replay " + path + ": writing the file failed; the recording is incomplete";
        return false;
    }
    return true;
}
