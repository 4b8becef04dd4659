#pragma once

#include <string>
#include <vector>

// What a pad says about itself, to know it again when it comes back. The GUID
// names the model (maker, product, version, interface); the serial, which not
// every pad reports (SDL's virtual pads and many wireless ones do not), tells
// two pads of one model apart.
struct PadIdentity {
    std::string guid;
    std::string serial;
    std::string name;
};

// Which pad plays which player ("slot": 0 for player 1). A pad owns a slot
// from the first button pressed on it while a slot is free; it keeps that
// slot when it is unplugged (the slot is then "lost", not free) and gets it
// back when it returns, so pads never swap players by dropping out.
//
// A returning pad is known again by, in this order: its GUID and serial when
// both it and the lost slot's pad have one; else its GUID and name; a pad
// that reports neither (empty GUID and name) matches any lost slot. Among
// several lost slots that match, the lowest one is taken: two pads of one
// model without serials cannot be told apart, so the first one back gets the
// first lost player.
//
// Pad ids are the caller's (SDL's instance ids); -1 stands for none.
class PadOwnership {
public:
    explicit PadOwnership(int slotCount = 2);

    int slotCount() const { return static_cast<int>(slots.size()); }
    // A slot the pads may claim (a player a person plays); all are at first.
    void setClaimable(int slot, bool claimable);

    // A pad was plugged in: back into the lost slot it matches (the slot),
    // else it waits unowned (-1).
    int attach(int pad, const PadIdentity& identity);
    // A button was pressed on the pad: an unowned pad takes the first free
    // claimable slot. The pad's slot (already owned or new), else -1.
    int claim(int pad, const PadIdentity& identity);
    // The pad was unplugged: its slot (now lost), or -1 when it had none.
    int detach(int pad);
    // The players exchange their pads (and lost pads' places).
    void swap(int first, int second);
    // The lost slots become free: their players go on without a pad (the
    // keyboard); the pad that comes back later is a new one. The slots freed.
    std::vector<int> releaseLost();

    int slotOf(int pad) const;
    // The pad playing the slot now; -1 when it has none or its pad is lost.
    int padIn(int slot) const;
    bool isLost(int slot) const;
    bool isFree(int slot) const;
    // The identity of the slot's pad, present or lost; empty for a free slot.
    const PadIdentity& identityOf(int slot) const;

private:
    struct Slot {
        int pad = -1;
        bool owned = false;
        bool claimable = true;
        PadIdentity identity;
    };
    bool isValid(int slot) const { return slot >= 0 && slot < slotCount(); }
    static bool matches(const PadIdentity& lost, const PadIdentity& back);

    std::vector<Slot> slots;
};
