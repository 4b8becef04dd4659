#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace net {

// Finds a host's IPv4 address by name without holding the caller: the
// system's resolver may take many seconds (a name server that never
// answers), and the game's frames must go on meanwhile. A dotted numeric
// address is read at once; a name is looked up on a thread of its own,
// which is left to finish by itself when the lookup is dropped (the system
// call cannot be interrupted). The result is the address as ENet keeps it
// (network byte order).
class AddressLookup {
public:
    enum class Outcome { pending, found, failed };

    explicit AddressLookup(const std::string& name);
    ~AddressLookup();
    AddressLookup(const AddressLookup&) = delete;
    AddressLookup& operator=(const AddressLookup&) = delete;

    // Never waits.
    Outcome outcome() const;
    // Valid once found.
    uint32_t address() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared;
};

} // namespace net
