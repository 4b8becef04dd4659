#include "game/demo/SoakRun.hpp"

#include <cstdio>
#include <memory>

#include "app/GuiManager.hpp"
#include "core/Console.hpp"
#include "core/EventManager.hpp"
#include "core/RandomSource.hpp"
#include "core/Report.hpp"
#include "core/StateManager.hpp"
#include "core/input/InputManager.hpp"
#include "core/input/VirtualKeysInputBackend.hpp"
#include "game/Arenas.hpp"
#include "game/demo/ButtonClick.hpp"
#include "game/states/ArenaPage.hpp"

namespace {
// Frames on the menu and the victory screen before their button is pressed,
// and between presses (in case one was lost).
constexpr int pressAfterFrames = 30;
// Counts are compared at this frame of each match and of each visit to the
// menu: everything the entry makes exists by then, and no fight has begun.
constexpr int countFrame = 2;
} // namespace

SoakRun::SoakRun(Game& running, int frameBudget)
    : game(running), budget(frameBudget), firstSeed(RandomSource::instance().getSeed()) {}

void SoakRun::frame() {
    if (done) {
        return;
    }
    ++frames;
    ++phaseFrames;
    // Places are looked at once the frame's deferred work is done: a player
    // whose physics blew up in this frame's steps is put back to numbers
    // there, before anything is drawn.
    EventManager::instance().invokeLater([this, frame = frames] { checkPlaces(frame); });

    const std::string state = StateManager::instance().currentName();
    switch (phase) {
    case Phase::Menu:
        if (state == "Arena") {
            enter(Phase::Match);
        } else if (phaseFrames == countFrame && matchesWon + matchesQuit > 0) {
            // From the first return on: the first match makes what lives
            // on from then (the map's layers, the pages' listeners), the
            // same whichever arena it was on.
            compare(atMenu, "return to the menu");
        } else if (phaseFrames % pressAfterFrames == 0) {
            if (GuiManager::instance().isVisible("mArena")) {
                press("mArena", arenaButtonName(arenaOfMatch()));
            } else {
                press("menu", "StartGame");
            }
        }
        break;
    case Phase::Match:
        if (state == "Victory") {
            ++matchesWon;
            enter(Phase::Victory);
        } else if (phaseFrames == countFrame) {
            compareMatchStart();
        } else if (matchFrameCap > 0 && phaseFrames >= matchFrameCap) {
            enter(Phase::Leaving);
            holdEscape(true);
        } else if (phaseFrames > matchFrameLimit) {
            fail("match " + std::to_string(matchesWon + matchesQuit + 1) + " did not end within " +
                 std::to_string(matchFrameLimit) + " frames");
            return;
        }
        break;
    case Phase::Leaving:
        if (phaseFrames == 1) {
            holdEscape(false);
        }
        if (state == "Menu") {
            ++matchesQuit;
            enter(Phase::Menu);
        } else if (state == "Victory") {
            // The match ended on its own while being left.
            ++matchesWon;
            enter(Phase::Victory);
        } else if (phaseFrames % pressAfterFrames == 0) {
            press("pause", "Menu");
        }
        break;
    case Phase::Victory:
        if (state == "Menu") {
            enter(Phase::Menu);
        } else if (phaseFrames % pressAfterFrames == 0) {
            press("victory", "Continue");
        }
        break;
    }
    if (done) {
        return;
    }

    if (frames % framesPerMinute == 0) {
        const SceneCounts counts = SceneCounts::take();
        char line[200];
        std::snprintf(line, sizeof line,
                      "soak minute %3d: matches %3d objects %4zu bodies %4zu joints %4zu particles %5zu "
                      "resident %7.1f MiB",
                      frames / framesPerMinute, matchesWon + matchesQuit, counts.objects, counts.bodies,
                      counts.joints, counts.particles, static_cast<double>(residentKilobytes()) / 1024.0);
        minutes.emplace_back(line);
        Console::standardOutput().writeLines(line);
    }
    if (frames >= budget) {
        end();
    }
}

void SoakRun::checkPlaces(int frame) {
    if (done) {
        return;
    }
    const std::string misplaced = firstObjectNotFinite();
    if (!misplaced.empty()) {
        fail("frame " + std::to_string(frame) + ": the place of " + misplaced + " is not a number");
    }
}

void SoakRun::enter(Phase next) {
    phase = next;
    phaseFrames = 0;
}

void SoakRun::press(const std::string& page, const std::string& button) {
    if (page == "menu" && button == "StartGame") {
        // A seed of its own for every match after the first; the computer
        // players' own generators start from it when the match begins.
        const int played = matchesWon + matchesQuit;
        if (played > 0) {
            RandomSource::instance().seed(firstSeed + static_cast<uint32_t>(played));
        }
    }
    if (!clickButton(game, page, button)) {
        fail("page " + page + " has no button " + button);
    }
}

void SoakRun::holdEscape(bool down) {
    VirtualKeysInputBackend::installOn(InputManager::instance())->setKey(sf::Keyboard::Escape, down);
}

std::string SoakRun::arenaOfMatch() const {
    return arenas()[static_cast<size_t>(matchesWon + matchesQuit) % arenas().size()].key;
}

void SoakRun::compareMatchStart() {
    // Each arena is compared with its own first match.
    const SceneCounts counts = SceneCounts::take();
    const std::string arena = arenaOfMatch();
    atMatchStart.push_back(counts);
    const auto first = firstMatchOn.emplace(arena, atMatchStart.size() - 1).first->second;
    if (!atMatchStart[first].sameHoldings(counts)) {
        fail("match " + std::to_string(atMatchStart.size()) + " (" + arena + ") holds " + counts.describe() +
             "; the first there held " + atMatchStart[first].describe());
    }
}

void SoakRun::compare(std::vector<SceneCounts>& taken, const char* moment) {
    const SceneCounts counts = SceneCounts::take();
    taken.push_back(counts);
    if (!taken.front().sameHoldings(counts)) {
        fail(std::string(moment) + " " + std::to_string(taken.size()) + " holds " + counts.describe() +
             "; the first held " + taken.front().describe());
    }
}

void SoakRun::fail(const std::string& what) {
    if (problem.empty()) {
        problem = what;
        reportProblem("Soak: %s", what.c_str());
    }
    end();
}

void SoakRun::end() {
    if (done) {
        return;
    }
    done = true;
    Console::standardOutput().writeLines(
        "soak: " + std::to_string(frames) + " frames, " + std::to_string(matchesWon) + " matches won, " +
        std::to_string(matchesQuit) + " left, " + (failed() ? "FAILED" : "flat"));
    EventManager::instance().queueEvent(std::make_shared<ShutdownEvent>());
}
