#pragma once

#include <memory>
#include <string>

#include "game/PlayerSetup.hpp"

// The arena page ("mArena", Menu_Arena.txt) between the title's Play and the
// match: one button per arena ("Arena1", "Arena2", ... in the order of
// `arenas()`, each under its picture), "RandomArena" and "BackMenu". A press
// on an arena or on Random keeps that choice in the player setup, fixes the
// match's arena (Random draws one from the RandomSource, so a recorded run
// draws the same) and starts the match at the end of the frame; Back and
// Escape return to the title page. The page opens with the focus on the
// last choice, so Enter plays the same arena again.
class ArenaPage {
public:
    // Loads the page and wires its buttons. `effectsVolume` is the menu
    // state's, observed (it lives as long as the state).
    ArenaPage(std::shared_ptr<PlayerSetup> setup, const float& effectsVolume);

    // Shows the page alone; without the page (its form could not be
    // loaded) starts the match on the last choice instead.
    void open();
    // Escape on the page goes back to the title page; whether it was open.
    bool handleEscape();

private:
    void choose(const std::string& choice);

    std::shared_ptr<PlayerSetup> players;
    const float& volume;
};

// The arena a match started with `choice` is played on: the choice itself,
// or for "random" one of the arenas drawn from the RandomSource.
std::string resolveArenaChoice(const std::string& choice);

// The page's button for `choice`: "Arena1", "Arena2", ... or "RandomArena".
std::string arenaButtonName(const std::string& choice);
