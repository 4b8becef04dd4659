#include "core/ReplayReader.hpp"

#include <fstream>

#include "core/InputManager.hpp"

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
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    size_t index = 0;
    const auto at = [&](const std::string& what) {
        problem = "line " + std::to_string(index + 1) + ": " + what;
        return false;
    };

    // Magic word and version.
    const auto first = splitFields(lines[0]);
    if (first.size() != 2 || first[0] != replayFormat::magic) {
        problem = std::string("not a replay file (it does not begin with '") + replayFormat::magic + "')";
        return false;
    }
    long long version = 0;
    if (!replayFormat::parseInteger(first[1], 0, 1000000, version) || version != replayFormat::version) {
        problem = "format version '" + first[1] + "' is not supported (this build reads version " +
                  std::to_string(replayFormat::version) + ")";
        return false;
    }

    std::string rest;
    index = 1;
    long long seed = 0;
    if (index >= lines.size() || !afterWord(lines[index], "seed", rest) ||
        !replayFormat::parseInteger(rest, 0, UINT32_MAX, seed)) {
        return at("expected 'seed' and a whole number");
    }
    header.seed = static_cast<uint32_t>(seed);
    ++index;
    if (index >= lines.size() || !afterWord(lines[index], "step", rest) ||
        !replayFormat::parseFloat(rest, header.fixedStep) || header.fixedStep <= 0.0f) {
        return at("expected 'step' and a positive number of seconds");
    }
    ++index;

    // Input names, actions first.
    for (const char* kind : {"action", "axis"}) {
        auto& names = kind == std::string("action") ? header.actionNames : header.axisNames;
        auto& columns = kind == std::string("action") ? actionColumns : axisColumns;
        while (index < lines.size() && afterWord(lines[index], kind, rest)) {
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
            ++index;
        }
    }

    // Frames, each with the window events that follow it, up to the end line.
    const size_t actionCount = header.actionNames.size();
    const size_t axisCount = header.axisNames.size();
    for (; index < lines.size(); ++index) {
        const std::string& line = lines[index];
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
            // Only an empty last line (the final line break) may follow.
            if (index + 1 < lines.size() && !(index + 2 == lines.size() && lines[index + 1].empty())) {
                ++index;
                return at("text after the end line");
            }
            return true;
        }
        if (afterWord(line, "g", rest)) {
            if (deltas.empty()) {
                return at("a window event before the first frame");
            }
            auto& frameEvents = events[deltas.size() - 1];
            if (frameEvents.size() >= replayFormat::maxEventsPerFrame) {
                return at("too many window events in one frame");
            }
            sf::Event event;
            std::string eventProblem;
            if (!replayFormat::decodeEvent(splitFields(rest), event, eventProblem)) {
                return at(eventProblem);
            }
            frameEvents.push_back(event);
            continue;
        }
        if (!afterWord(line, "f", rest)) {
            return at("expected a frame ('f'), a window event ('g') or the end line, not '" +
                      line.substr(0, 40) + "'");
        }
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
                : states.size() != actionCount || states.find_first_not_of("01") != std::string::npos) {
            return at("the action states need one 0 or 1 for each of the " + std::to_string(actionCount) +
                      " actions");
        }
        deltas.push_back(delta);
        for (size_t i = 0; i < actionCount; ++i) {
            downs.push_back(states[i] == '1' ? 1 : 0);
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
           downs[current * header.actionNames.size() + found->second] != 0;
}

float ReplayReader::getAxisValue(const std::string& name) const {
    const auto found = axisColumns.find(name);
    return started && found != axisColumns.end() ? values[current * header.axisNames.size() + found->second]
                                                 : 0.0f;
}

const std::vector<sf::Event>& ReplayReader::getEvents() const {
    const auto found = started ? events.find(current) : events.end();
    return found == events.end() ? noEvents : found->second;
}
