#include "net/AddressLookup.hpp"

#include <mutex>
#include <system_error>
#include <thread>

#include <enet/enet.h>

namespace net {

// Shared with the lookup's thread, which may outlive the AddressLookup.
struct AddressLookup::Shared {
    std::mutex mutex;
    Outcome outcome = Outcome::pending;
    uint32_t address = 0;
};

AddressLookup::AddressLookup(const std::string& name) : shared(std::make_shared<Shared>()) {
    ENetAddress found{};
    if (enet_address_set_host_ip(&found, name.c_str()) == 0) {
        shared->outcome = Outcome::found;
        shared->address = found.host;
        return;
    }
    try {
        std::thread([state = shared, name] {
            ENetAddress resolved{};
            const bool ok = enet_address_set_host(&resolved, name.c_str()) == 0;
            const std::lock_guard<std::mutex> lock(state->mutex);
            state->outcome = ok ? Outcome::found : Outcome::failed;
            state->address = resolved.host;
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the name counts as not found rather than holding the frames.
        shared->outcome = Outcome::failed;
    }
}

AddressLookup::~AddressLookup() = default;

AddressLookup::Outcome AddressLookup::outcome() const {
    const std::lock_guard<std::mutex> lock(shared->mutex);
    return shared->outcome;
}

uint32_t AddressLookup::address() const {
    const std::lock_guard<std::mutex> lock(shared->mutex);
    return shared->address;
}

} // namespace net
