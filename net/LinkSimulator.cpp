#include "net/LinkSimulator.hpp"

#include <algorithm>
#include <cstdlib>
#include <set>

namespace net {

namespace {
// The whole word as a number in min .. max.
bool numberIn(const std::string& word, double min, double max, double& value) {
    if (word.empty() || word.size() > 12 || word.find_first_not_of("0123456789.") != std::string::npos) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && value >= min && value <= max;
}
} // namespace

bool parseLinkShape(const std::string& text, LinkShape& shape, std::string& problem) {
    LinkShape parsed;
    std::set<std::string> seen;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        start = comma + 1;
        const size_t equals = item.find('=');
        const std::string key = item.substr(0, equals);
        const std::string word = equals == std::string::npos ? "" : item.substr(equals + 1);
        if (!seen.insert(key).second) {
            problem = "'" + key + "' given twice";
            return false;
        }
        double value = 0.0;
        if (key == "delay" || key == "jitter") {
            if (!numberIn(word, 0.0, 5000.0, value) || value != static_cast<int>(value)) {
                problem = key + " needs whole milliseconds from 0 to 5000";
                return false;
            }
            (key == "delay" ? parsed.delayMs : parsed.jitterMs) = static_cast<int>(value);
        } else if (key == "loss" || key == "duplicate") {
            if (!numberIn(word, 0.0, 100.0, value)) {
                problem = key + " needs a percentage from 0 to 100";
                return false;
            }
            (key == "loss" ? parsed.lossPercent : parsed.duplicatePercent) = value;
        } else if (key == "seed") {
            if (!numberIn(word, 0.0, 4294967295.0, value) ||
                value != static_cast<double>(static_cast<uint32_t>(value))) {
                problem = "seed needs a whole number";
                return false;
            }
            parsed.seed = static_cast<uint32_t>(value);
        } else {
            problem = "unknown link setting '" + item + "' (delay=, jitter=, loss=, duplicate=, seed=)";
            return false;
        }
    }
    shape = parsed;
    return true;
}

LinkSimulator::LinkSimulator(const LinkShape& linkShape) : shape(linkShape), random(linkShape.seed) {}

double LinkSimulator::sendDelay() {
    double milliseconds = shape.delayMs;
    if (shape.jitterMs > 0) {
        milliseconds += std::uniform_int_distribution<int>(-shape.jitterMs, shape.jitterMs)(random);
    }
    return std::max(0.0, milliseconds) / 1000.0;
}

bool LinkSimulator::chance(double percent) {
    return percent > 0.0 && std::uniform_real_distribution<double>(0.0, 100.0)(random) < percent;
}

void LinkSimulator::submit(std::vector<uint8_t> bytes, bool reliable, double now) {
    if (reliable) {
        // Reliable packets keep their order, as the transport would deliver them.
        lastReliableRelease = std::max(lastReliableRelease, now + sendDelay());
        held.push_back({std::move(bytes), true, lastReliableRelease});
        return;
    }
    if (chance(shape.lossPercent)) {
        return;
    }
    if (chance(shape.duplicatePercent)) {
        held.push_back({bytes, false, now + sendDelay()});
    }
    held.push_back({std::move(bytes), false, now + sendDelay()});
}

std::vector<LinkSimulator::Packet> LinkSimulator::takeDue(double now) {
    std::vector<Packet> due;
    // Stable: packets due at the same moment leave in the order they came.
    std::stable_sort(held.begin(), held.end(),
                     [](const Packet& a, const Packet& b) { return a.releaseAt < b.releaseAt; });
    const auto firstLater = std::find_if(held.begin(), held.end(),
                                         [now](const Packet& packet) { return packet.releaseAt > now; });
    due.assign(std::make_move_iterator(held.begin()), std::make_move_iterator(firstLater));
    held.erase(held.begin(), firstLater);
    return due;
}

} // namespace net
