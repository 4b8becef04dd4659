#pragma once

#include <string>

// A host name no lookup can find, refused by the system's resolver without
// asking any name server: a label longer than 63 characters cannot be put
// into a query. A name in the reserved ".invalid" domain would still be sent
// to the machine's name server, and the tests talk to no other machine.
inline std::string unfindableHostName() {
    return std::string(70, 'a') + ".invalid";
}
