#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <SFML/Window/Event.hpp>

// The replay file: a small line-based text file, one frame per line.
//
//   vorlune-replay 2              magic word and format version
//   seed 1                        the RandomSource seed the run started with
//   step 0.016666668              the fixed step (seconds) it was recorded with
//   start online lives=3          optional: where the game put itself before
//                                 the first frame (the game's own words; a
//                                 run recorded from start-up has no such line)
//   action Player1 Jump           one line per button action, in column order
//   axis Player1 Horizontal       one line per axis, in column order
//   f 0.016666668 0130 0 -1 0.5   a frame: delta (s), one digit per action
//                                 ("-" when there are none): 1 down, +2 pressed
//                                 since the frame before (so 2 is a tap that
//                                 was let go before the frame sampled it);
//                                 then one value per axis
//   g pressed 0 120 340           a window event given to the GUI in that frame
//                                 (mouse, keys, focus, size), or a player's pad
//                                 lost and back ("g padlost 0")
//   end 1234                      the number of frames; nothing may follow
//
// Floats are written in their shortest exact form, so a replay reads back
// bit for bit what was recorded. The limits below bound what a damaged or
// foreign file can make the reader allocate.
namespace replayFormat {

constexpr const char* magic = "vorlune-replay";
// Version 2: input is sampled before the frame's fixed steps, and presses
// between two samplings are recorded. Version 1 files (sampled after the
// steps) are refused with a line saying so.
constexpr int version = 2;
constexpr uint8_t downBit = 1;
constexpr uint8_t tappedBit = 2;

// A match of half an hour takes a few megabytes.
constexpr size_t maxFileBytes = 32u * 1024u * 1024u;
constexpr size_t maxNames = 256;
constexpr size_t maxNameLength = 200;
constexpr size_t maxEventsPerFrame = 10000;
// Longest frame delta accepted (seconds); a real frame is far shorter, even
// one stalled by moving the window.
constexpr float maxDelta = 3600.0f;

// What a replay says about the run before its first frame.
struct Header {
    uint32_t seed = 0;
    float fixedStep = 0.0f;
    // Where the run began, in the game's words; empty: at start-up.
    std::string start;
    std::vector<std::string> actionNames;
    std::vector<std::string> axisNames;
};

// The fields after "g" for the window events the GUI reacts to (mouse moves,
// presses and releases, the pointer entering and leaving, keys, focus,
// resizing) and for a player's pad lost and back (JoystickDisconnected and
// JoystickConnected, whose joystickId is the player's slot); empty for every
// other event, which a replay does not need.
std::string encodeEvent(const sf::Event& event);
// The event from the fields after "g"; false with `problem` for an unknown
// kind, a wrong field count or a number out of range.
bool decodeEvent(const std::vector<std::string>& fields, sf::Event& event, std::string& problem);

// Shortest text that reads back as exactly this float.
std::string formatFloat(float value);
// The whole text as a float; false for anything else (also "nan" and "inf").
bool parseFloat(const std::string& text, float& value);
// The whole text as an integer in min .. max; false for anything else.
bool parseInteger(const std::string& text, long long min, long long max, long long& value);

} // namespace replayFormat
