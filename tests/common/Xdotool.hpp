#pragma once

#include <cstdlib>
#include <string>

// Sends real input through the X server of the process's display (keys,
// pointer, focus) with xdotool; whether it ran cleanly. Its own output is
// dropped.
inline bool xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments + " > /dev/null 2>&1").c_str()) == 0;
}
