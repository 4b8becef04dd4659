#pragma once

#include <string>

// A host name no lookup can find, refused by the system's resolver without
// asking any name server: an empty label cannot be put into a query. A name
// in the reserved ".invalid" domain alone would still be sent to the
// machine's name server, and the tests talk to no other machine. Short enough
// for the online page's address box.
inline std::string unfindableHostName() {
    return "nowhere..invalid";
}
