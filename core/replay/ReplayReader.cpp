#include "core/replay/ReplayReader.hpp"

#include <algorithm>
#include <fstream>

#include "core/input/InputManager.hpp"

namespace {
std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (start <= line.size()) {
        const size_t space = line.find(' ', start);
        const size_t end = space == std::string::npos ? line.size() : space;
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

// Walks the text line by line, one line in memory at a time, so a file of
// many short lines costs no more than the text itself.
class LineCursor {
public:
    explicit LineCursor(const std::string& text) : text(text) {}

    // The next line, without its line break; false (counting the missing
    // line) at the end of the text.
    bool next(std::string& line) {
        ++number;
        complete = true;
        if (position >= text.size()) {
            return false;
        }
        size_t end = text.find('\n', position);
        if (end == std::string::npos) {
            end = text.size();
            complete = false;
        }
        line.assign(text, position, end - position);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        position = end + 1;
        return true;
    }
    // One-based number of the line last asked for.
    size_t lineNumber() const { return number; }
    // False when the line last read ended the text without a line break.
    bool lineComplete() const { return complete; }

private:
    const std::string& text;
    size_t position = 0;
    size_t number = 0;
    bool complete = true;
};

// The rest of the line after "word ", when the line starts with it.
bool afterWord(const std::string& line, const std::string& word, std::string& rest) {
    if (line.compare(0, word.size() + 1, word + " ") != 0) {
        return false;
    }
    rest = line.substr(word.size() + 1);
    return true;
}
} // namespace

void ReplayReader::clear() {
    header = replayFormat::Header();
    actionColumns.clear();
    axisColumns.clear();
    deltas.clear();
    downs.clear();
    values.clear();
    events.clear();
    current = 0;
    started = false;
}

bool ReplayReader::load(const std::string& filePath, std::string& problem) {
    clear();
    path = filePath;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        problem = "Replay " + path + ": cannot open the file";
        return false;
    }
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<unsigned long long>(size) > replayFormat::maxFileBytes) {
        problem = "Replay " + path + ": the file is larger than a replay can be";
        return false;
    }
    std::string text(static_cast<size_t>(size), '\0');
    file.seekg(0);
    if (!file.read(text.data(), size)) {
        problem = "Replay " + path + ": cannot read the file";
        return false;
    }
    if (!parse(text, problem)) {
        problem = "Replay " + path + ": " + problem;
        clear();
        return false;
    }
    return true;
}

bool ReplayReader::parse(const std::string& text, std::string& problem) {
    if (text.empty()) {
        problem = "the file is empty";
        return false;
    }
    LineCursor lines(text);
    std::string line;
    const auto at = [&](const std::string& what) {
        // A last line without its line break is where a write was cut off.
        if (!lines.lineComplete()) {
            problem =
                "the file ends in the middle of line " + std::to_string(lines.lineNumber()) + " (truncated)";
        } else {
            problem = "line " + std::to_string(lines.lineNumber()) + ": " + what;
        }
        return false;
    };

    // Magic word and version.
    lines.next(line);
    const auto first = splitFields(line);
    if (first.size() != 2 || first[0] != replayFormat::magic) {
        problem = std::string("not a replay file (it does not begin with '") + replayFormat::magic + "')";
        return false;
    }
    long long version = 0;
    if (replayFormat::parseInteger(first[1], 0, 1000000, version) && version == 1) {
        problem = "format version 1 was recorded by an earlier game, whose input reached the match one frame "
                  "later, so it cannot be played exactly; record it again";
        return false;
    }
    if (!replayFormat::parseInteger(first[1], 0, 1000000, version) || version != replayFormat::version) {
        problem = "format version '" + first[1] + "' is not supported (this build reads version " +
                  std::to_string(replayFormat::version) + ")";
        return false;
    }

    std::string rest;
    long long seed = 0;
    if (!lines.next(line) || !afterWord(line, "seed", rest) ||
        !replayFormat::parseInteger(rest, 0, UINT32_MAX, seed)) {
        return at("expected 'seed' and a whole number");
    }
    header.seed = static_cast<uint32_t>(seed);
    if (!lines.next(line) || !afterWord(line, "step", rest) ||
        !replayFormat::parseFloat(rest, header.fixedStep) || header.fixedStep <= 0.0f) {
        return at("expected 'step' and a positive number of seconds");
    }

    // Where the run began, when not at start-up.
    bool haveLine = lines.next(line);
    if (haveLine && afterWord(line, "start", rest)) {
        if (rest.empty() || rest.size() > replayFormat::maxNameLength) {
            return at("the start is empty or too long");
        }
        header.start = rest;
        haveLine = lines.next(line);
    }

    // Input names, actions first.
    for (const char* kind : {"action", "axis"}) {
        auto& names = kind == std::string("action") ? header.actionNames : header.axisNames;
        auto& columns = kind == std::string("action") ? actionColumns : axisColumns;
        for (; haveLine && afterWord(line, kind, rest); haveLine = lines.next(line)) {
            if (rest.empty() || rest.size() > replayFormat::maxNameLength) {
                return at(std::string("the ") + kind + " name is empty or too long");
            }
            if (names.size() >= replayFormat::maxNames) {
                return at(std::string("more than ") + std::to_string(replayFormat::maxNames) + " " + kind +
                          " names");
            }
            if (!columns.emplace(rest, names.size()).second) {
                return at(std::string("the ") + kind + " '" + rest + "' is named twice");
            }
            names.push_back(rest);
        }
    }

    // Frames, each with the window events that follow it, up to the end line.
    const size_t actionCount = header.actionNames.size();
    const size_t axisCount = header.axisNames.size();
    size_t frameEvents = 0;
    for (; haveLine; haveLine = lines.next(line)) {
        if (afterWord(line, "end", rest)) {
            long long count = 0;
            if (!replayFormat::parseInteger(rest, 0, static_cast<long long>(replayFormat::maxFileBytes),
                                            count)) {
                return at("the end line needs a frame count");
            }
            if (static_cast<size_t>(count) != deltas.size()) {
                return at("the end line counts " + rest + " frames, but the file has " +
                          std::to_string(deltas.size()));
            }
            // Only the final line break may follow.
            if (lines.next(line)) {
                return at("text after the end line");
            }
            return true;
        }
        if (afterWord(line, "g", rest)) {
            if (deltas.empty()) {
                return at("a window event before the first frame");
            }
            if (++frameEvents > replayFormat::maxEventsPerFrame) {
                return at("too many window events in one frame");
            }
            sf::Event event;
            std::string eventProblem;
            if (!replayFormat::decodeEvent(splitFields(rest), event, eventProblem)) {
                return at(eventProblem);
            }
            events.emplace_back(deltas.size() - 1, event);
            continue;
        }
        if (!afterWord(line, "f", rest)) {
            return at("expected a frame ('f'), a window event ('g') or the end line, not '" +
                      line.substr(0, 40) + "'");
        }
        frameEvents = 0;
        const auto fields = splitFields(rest);
        if (fields.size() != 2 + axisCount) {
            return at("a frame needs a delta, the action states and " + std::to_string(axisCount) +
                      " axis values");
        }
        float delta = 0.0f;
        if (!replayFormat::parseFloat(fields[0], delta) || delta < 0.0f || delta > replayFormat::maxDelta) {
            return at("the frame delta '" + fields[0] + "' is not a number of seconds in 0.." +
                      replayFormat::formatFloat(replayFormat::maxDelta));
        }
        const std::string& states = fields[1];
        if (actionCount == 0
                ? states != "-"
                : states.size() != actionCount || states.find_first_not_of("0123") != std::string::npos) {
            return at("the action states need one digit 0 to 3 for each of the " +
                      std::to_string(actionCount) + " actions");
        }
        deltas.push_back(delta);
        for (size_t i = 0; i < actionCount; ++i) {
            downs.push_back(static_cast<uint8_t>(states[i] - '0'));
        }
        for (size_t i = 0; i < axisCount; ++i) {
            float value = 0.0f;
            if (!replayFormat::parseFloat(fields[2 + i], value) || value < -1.0f || value > 1.0f) {
                return at("the axis value '" + fields[2 + i] + "' is not a number in -1..1");
            }
            values.push_back(value);
        }
    }
    problem =
        "the file ends after " + std::to_string(deltas.size()) + " frames without its end line (truncated)";
    return false;
}

bool ReplayReader::matches(const InputManager& input, float fixedStep, std::string& problem) const {
    const auto fail = [&](const std::string& what) {
        problem = "Replay " + path + ": " + what;
        return false;
    };
    if (header.fixedStep != fixedStep) {
        return fail("recorded with a fixed step of " + replayFormat::formatFloat(header.fixedStep) +
                    " s, but this game steps " + replayFormat::formatFloat(fixedStep) + " s");
    }
    for (const auto& name : header.actionNames) {
        if (!input.actions.count(name)) {
            return fail("it records the action '" + name + "', which this game does not have");
        }
    }
    for (const auto& name : header.axisNames) {
        if (!input.axes.count(name)) {
            return fail("it records the axis '" + name + "', which this game does not have");
        }
    }
    for (const auto& entry : input.actions) {
        if (!actionColumns.count(entry.first)) {
            return fail("it does not record this game's action '" + entry.first + "'");
        }
    }
    for (const auto& entry : input.axes) {
        if (!axisColumns.count(entry.first)) {
            return fail("it does not record this game's axis '" + entry.first + "'");
        }
    }
    return true;
}

bool ReplayReader::advance() {
    if (!started) {
        if (deltas.empty()) {
            return false;
        }
        started = true;
        return true;
    }
    if (current + 1 >= deltas.size()) {
        return false;
    }
    ++current;
    return true;
}

float ReplayReader::getDelta() const {
    return started ? deltas[current] : 0.0f;
}

bool ReplayReader::isActionDown(const std::string& name) const {
    const auto found = actionColumns.find(name);
    return started && found != actionColumns.end() &&
           (downs[current * header.actionNames.size() + found->second] & replayFormat::downBit) != 0;
}

bool ReplayReader::wasActionTapped(const std::string& name) const {
    const auto found = actionColumns.find(name);
    return started && found != actionColumns.end() &&
           (downs[current * header.actionNames.size() + found->second] & replayFormat::tappedBit) != 0;
}

float ReplayReader::getAxisValue(const std::string& name) const {
    const auto found = axisColumns.find(name);
    return started && found != axisColumns.end() ? values[current * header.axisNames.size() + found->second]
                                                 : 0.0f;
}

std::vector<sf::Event> ReplayReader::getEvents() const {
    std::vector<sf::Event> frameEvents;
    if (!started) {
        return frameEvents;
    }
    const auto byFrame = [](const std::pair<size_t, sf::Event>& entry, size_t frame) {
        return entry.first < frame;
    };
    for (auto entry = std::lower_bound(events.begin(), events.end(), current, byFrame);
         entry != events.end() && entry->first == current; ++entry) {
        frameEvents.push_back(entry->second);
    }
    return frameEvents;
}
