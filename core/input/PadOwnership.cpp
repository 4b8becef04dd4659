#include "core/input/PadOwnership.hpp"

#include <utility>

PadOwnership::PadOwnership(int slotCount) : slots(static_cast<size_t>(slotCount > 0 ? slotCount : 0)) {}

void PadOwnership::setClaimable(int slot, bool claimable) {
    if (isValid(slot)) {
        slots[static_cast<size_t>(slot)].claimable = claimable;
    }
}

bool PadOwnership::matches(const PadIdentity& lost, const PadIdentity& back) {
    if (!lost.serial.empty() && !back.serial.empty()) {
        return lost.guid == back.guid && lost.serial == back.serial;
    }
    if (lost.guid.empty() && lost.name.empty()) {
        return true;
    }
    return lost.guid == back.guid && lost.name == back.name;
}

int PadOwnership::attach(int pad, const PadIdentity& identity) {
    if (slotOf(pad) >= 0) {
        return slotOf(pad);
    }
    for (int slot = 0; slot < slotCount(); ++slot) {
        Slot& entry = slots[static_cast<size_t>(slot)];
        if (isLost(slot) && matches(entry.identity, identity)) {
            entry.pad = pad;
            // A pad known by its name alone gives what it knows now.
            entry.identity = identity;
            return slot;
        }
    }
    return -1;
}

int PadOwnership::claim(int pad, const PadIdentity& identity) {
    if (const int owned = slotOf(pad); owned >= 0) {
        return owned;
    }
    for (int slot = 0; slot < slotCount(); ++slot) {
        Slot& entry = slots[static_cast<size_t>(slot)];
        if (isFree(slot) && entry.claimable) {
            entry.pad = pad;
            entry.owned = true;
            entry.identity = identity;
            return slot;
        }
    }
    return -1;
}

int PadOwnership::detach(int pad) {
    const int slot = slotOf(pad);
    if (slot >= 0) {
        slots[static_cast<size_t>(slot)].pad = -1;
    }
    return slot;
}

void PadOwnership::swap(int first, int second) {
    if (!isValid(first) || !isValid(second) || first == second) {
        return;
    }
    Slot& a = slots[static_cast<size_t>(first)];
    Slot& b = slots[static_cast<size_t>(second)];
    // Who may claim a slot belongs to the player, not to the pad.
    std::swap(a.pad, b.pad);
    std::swap(a.owned, b.owned);
    std::swap(a.identity, b.identity);
}

std::vector<int> PadOwnership::releaseLost() {
    std::vector<int> freed;
    for (int slot = 0; slot < slotCount(); ++slot) {
        if (isLost(slot)) {
            Slot& entry = slots[static_cast<size_t>(slot)];
            entry.owned = false;
            entry.identity = PadIdentity();
            freed.push_back(slot);
        }
    }
    return freed;
}

int PadOwnership::slotOf(int pad) const {
    if (pad < 0) {
        return -1;
    }
    for (int slot = 0; slot < slotCount(); ++slot) {
        if (slots[static_cast<size_t>(slot)].pad == pad) {
            return slot;
        }
    }
    return -1;
}

int PadOwnership::padIn(int slot) const {
    return isValid(slot) ? slots[static_cast<size_t>(slot)].pad : -1;
}

bool PadOwnership::isLost(int slot) const {
    return isValid(slot) && slots[static_cast<size_t>(slot)].owned &&
           slots[static_cast<size_t>(slot)].pad < 0;
}

bool PadOwnership::isFree(int slot) const {
    return isValid(slot) && !slots[static_cast<size_t>(slot)].owned;
}

const PadIdentity& PadOwnership::identityOf(int slot) const {
    static const PadIdentity none;
    return isValid(slot) ? slots[static_cast<size_t>(slot)].identity : none;
}
