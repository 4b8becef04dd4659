#include "core/replay/ReplayFormat.hpp"

#include <charconv>
#include <cmath>

#include <SFML/Window/Mouse.hpp>

namespace replayFormat {
namespace {
// Pixel coordinates and window sizes far beyond any screen are damage.
constexpr long long coordinateLimit = 1000000;
constexpr long long sizeLimit = 100000;

bool integers(const std::vector<std::string>& fields, size_t first, const long long* limits, long long* out,
              size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!parseInteger(fields[first + i], limits[2 * i], limits[2 * i + 1], out[i])) {
            return false;
        }
    }
    return true;
}
} // namespace

std::string encodeEvent(const sf::Event& event) {
    const auto number = [](auto value) { return std::to_string(value); };
    switch (event.type) {
    case sf::Event::Resized:
        return "resized " + number(event.size.width) + " " + number(event.size.height);
    case sf::Event::LostFocus:
        return "lostfocus";
    case sf::Event::GainedFocus:
        return "gainedfocus";
    case sf::Event::MouseMoved:
        return "moved " + number(event.mouseMove.x) + " " + number(event.mouseMove.y);
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased:
        return std::string(event.type == sf::Event::MouseButtonPressed ? "pressed " : "released ") +
               number(static_cast<int>(event.mouseButton.button)) + " " + number(event.mouseButton.x) + " " +
               number(event.mouseButton.y);
    case sf::Event::MouseEntered:
        return "entered";
    case sf::Event::MouseLeft:
        return "left";
    // Keys move the menus' focus and press their buttons (a pad's d-pad and
    // buttons come as keys there too).
    case sf::Event::KeyPressed:
    case sf::Event::KeyReleased:
        if (event.key.code < 0 || event.key.code >= sf::Keyboard::KeyCount) {
            return "";
        }
        return std::string(event.type == sf::Event::KeyPressed ? "keydown " : "keyup ") +
               number(event.key.code) + " " + number(event.key.shift ? 1 : 0);
    // A player's pad going and coming back (joystickId: the player's slot).
    case sf::Event::JoystickDisconnected:
        return "padlost " + number(event.joystickConnect.joystickId);
    case sf::Event::JoystickConnected:
        return "padback " + number(event.joystickConnect.joystickId);
    default:
        return "";
    }
}

bool decodeEvent(const std::vector<std::string>& fields, sf::Event& event, std::string& problem) {
    event = sf::Event();
    const std::string kind = fields.empty() ? "" : fields[0];
    const size_t arguments = fields.empty() ? 0 : fields.size() - 1;
    long long values[3] = {0, 0, 0};
    const auto expect = [&](size_t count) {
        if (arguments != count) {
            problem = "event '" + kind + "' needs " + std::to_string(count) + " numbers";
            return false;
        }
        return true;
    };
    const auto bad = [&] {
        problem = "event '" + kind + "' has a number out of range";
        return false;
    };
    if (kind == "resized") {
        const long long limits[] = {1, sizeLimit, 1, sizeLimit};
        if (!expect(2)) {
            return false;
        }
        if (!integers(fields, 1, limits, values, 2)) {
            return bad();
        }
        event.type = sf::Event::Resized;
        event.size.width = static_cast<unsigned int>(values[0]);
        event.size.height = static_cast<unsigned int>(values[1]);
    } else if (kind == "moved") {
        const long long limits[] = {-coordinateLimit, coordinateLimit, -coordinateLimit, coordinateLimit};
        if (!expect(2)) {
            return false;
        }
        if (!integers(fields, 1, limits, values, 2)) {
            return bad();
        }
        event.type = sf::Event::MouseMoved;
        event.mouseMove.x = static_cast<int>(values[0]);
        event.mouseMove.y = static_cast<int>(values[1]);
    } else if (kind == "pressed" || kind == "released") {
        const long long limits[] = {0,
                                    sf::Mouse::ButtonCount - 1,
                                    -coordinateLimit,
                                    coordinateLimit,
                                    -coordinateLimit,
                                    coordinateLimit};
        if (!expect(3)) {
            return false;
        }
        if (!integers(fields, 1, limits, values, 3)) {
            return bad();
        }
        event.type = kind == "pressed" ? sf::Event::MouseButtonPressed : sf::Event::MouseButtonReleased;
        event.mouseButton.button = static_cast<sf::Mouse::Button>(values[0]);
        event.mouseButton.x = static_cast<int>(values[1]);
        event.mouseButton.y = static_cast<int>(values[2]);
    } else if (kind == "keydown" || kind == "keyup") {
        const long long limits[] = {0, sf::Keyboard::KeyCount - 1, 0, 1};
        if (!expect(2)) {
            return false;
        }
        if (!integers(fields, 1, limits, values, 2)) {
            return bad();
        }
        event.type = kind == "keydown" ? sf::Event::KeyPressed : sf::Event::KeyReleased;
        event.key.code = static_cast<sf::Keyboard::Key>(values[0]);
        event.key.shift = values[1] != 0;
    } else if (kind == "padlost" || kind == "padback") {
        const long long limits[] = {0, sf::Joystick::Count - 1};
        if (!expect(1)) {
            return false;
        }
        if (!integers(fields, 1, limits, values, 1)) {
            return bad();
        }
        event.type = kind == "padlost" ? sf::Event::JoystickDisconnected : sf::Event::JoystickConnected;
        event.joystickConnect.joystickId = static_cast<unsigned int>(values[0]);
    } else if (kind == "lostfocus" || kind == "gainedfocus" || kind == "entered" || kind == "left") {
        if (!expect(0)) {
            return false;
        }
        event.type = kind == "lostfocus"     ? sf::Event::LostFocus
                     : kind == "gainedfocus" ? sf::Event::GainedFocus
                     : kind == "entered"     ? sf::Event::MouseEntered
                                             : sf::Event::MouseLeft;
    } else {
        problem = "unknown event '" + kind + "'";
        return false;
    }
    return true;
}

std::string formatFloat(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof(text), value);
    return std::string(text, result.ptr);
}

bool parseFloat(const std::string& text, float& value) {
    float parsed = 0.0f;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseInteger(const std::string& text, long long min, long long max, long long& value) {
    long long parsed = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc() || result.ptr != end || parsed < min || parsed > max) {
        return false;
    }
    value = parsed;
    return true;
}

} // namespace replayFormat
