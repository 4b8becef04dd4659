#pragma once

#include <memory>
#include <set>

#include "core/EventManager.hpp"

class StateIo;

// A match waits for a player whose pad was unplugged: the "padLost" page
// says "Player 1's pad is disconnected" (a line per such player) and the
// arena holds its world still (offline: one side of an online match cannot
// hold the other) until that pad comes back, or until someone
// presses "Keyboard" to go on without it (the player's pad is then let go:
// the pad that comes back later is a new one, free to take a player).
//
// The page follows PadChangeEvents, which the frame loop sends live and from
// a replay's recording alike, so a paused match replays as it was played.
// A pad lost outside a match is waited for from the match's start.
class PadLostPause {
public:
    // The pads waited for (they hold the world), for a match snapshot.
    void snapshotState(StateIo& io);
    // Loads the page and listens for pads; `effectsVolume` is the owning
    // state's, observed for the button's sounds.
    explicit PadLostPause(const float& effectsVolume);

    // Whether a player's pad is lost now.
    bool isWaiting() const { return !lostSlots.empty(); }
    // Shows or hides the page as the lost pads say (when a match is on).
    void show();
    // Online, this machine has one player, whichever pad slot it plays by:
    // the page says "Your pad is disconnected" rather than naming a slot.
    void setOnline(bool onlineMatch) { online = onlineMatch; }

private:
    void onPadChange(int slot, bool connected);

    std::set<int> lostSlots;
    bool online = false;
    std::shared_ptr<EventManager::EventKey> listenerKey;
};
