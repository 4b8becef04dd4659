#include "game/demo/DemoRun.hpp"

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/Game.hpp"
#include "app/GuiManager.hpp"
#include "core/Console.hpp"
#include "core/EventManager.hpp"
#include "core/Report.hpp"
#include "core/StateManager.hpp"
#include "game/demo/ButtonClick.hpp"
#include "game/player/BeardFadeComponent.hpp"
#include "game/states/VictoryState.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// Frames (1/60 s each) the demo waits on each screen, so a viewer sees it.
constexpr int menuFrames = 60;
constexpr int matchStartShotFrame = 45;
constexpr int midFightShotFrame = 60 * 20;
constexpr int victoryFrames = 120;
constexpr int backInMenuFrames = 30;
} // namespace

DemoRun::DemoRun(Game& running, std::string shotsFolder, std::string arenaButtonName)
    : game(running), folder(std::move(shotsFolder)), arenaButton(std::move(arenaButtonName)) {
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            reportProblem("Demo: can't create the folder %s (%s); no screenshots", folder.c_str(),
                          error.message().c_str());
            folder.clear();
        }
    }
}

void DemoRun::frame(float) {
    const std::string state = StateManager::instance().currentName();
    ++phaseFrames;
    switch (phase) {
    case Phase::Menu:
        figures.firstMenuFrame();
        if (state == "Arena") {
            figures.arenaEntered();
            phase = Phase::Match;
            phaseFrames = 0;
        } else if (phaseFrames == menuFrames - 10) {
            shot("menu");
        } else if (phaseFrames >= menuFrames && phaseFrames % 30 == 0) {
            // Pressed again now and then, in case a press was lost.
            if (GuiManager::instance().isVisible("mArena")) {
                figures.startPressed();
                clickButton("mArena", arenaButton);
            } else {
                clickButton("menu", "StartGame");
            }
        }
        break;
    case Phase::Match:
        figures.fightFrame(game.lastFrameCosts);
        figures.sampleCounts();
        if (state == "Victory") {
            if (const auto victory =
                    std::dynamic_pointer_cast<VictoryState>(StateManager::instance().states.at("Victory"))) {
                figures.matchWon(victory->winner);
            }
            phase = Phase::Victory;
            phaseFrames = 0;
        } else if (phaseFrames == matchStartShotFrame) {
            shot("match-start");
        } else if (phaseFrames == midFightShotFrame) {
            shot("mid-fight");
        } else if (!cutShot && beardWasCut()) {
            cutShot = true;
            shot("cut");
        } else if (phaseFrames > matchFrameLimit) {
            reportProblem("Demo: the match did not end within %d frames", matchFrameLimit);
            end(true);
        }
        break;
    case Phase::Victory:
        if (state == "Menu") {
            phase = Phase::BackInMenu;
            phaseFrames = 0;
        } else if (phaseFrames == victoryFrames - 20) {
            shot("victory");
        } else if (phaseFrames >= victoryFrames && phaseFrames % 30 == 0) {
            clickButton("victory", "Continue");
        }
        break;
    case Phase::BackInMenu:
        if (phaseFrames >= backInMenuFrames) {
            end(false);
        }
        break;
    case Phase::Done:
        break;
    }
}

void DemoRun::clickButton(const std::string& page, const std::string& button) {
    if (!::clickButton(game, page, button)) {
        reportProblem("Demo: page %s has no button %s", page.c_str(), button.c_str());
        end(true);
    }
}

bool DemoRun::beardWasCut() const {
    // A cut leaves the cut-off piece fading away.
    for (const auto& object : GameObjectManager::instance().sceneObjects) {
        if (object->getComponent<BeardFadeComponent>()) {
            return true;
        }
    }
    return false;
}

void DemoRun::shot(const std::string& name) {
    if (folder.empty()) {
        return;
    }
    // Drawn here, whether the run draws its frames or not.
    game.draw(0.0f, 0.0f);
    const std::string path = (std::filesystem::path(folder) / (name + ".png")).string();
    // At the window's own size, whatever the screen made it.
    sf::Image picture;
    if (!game.captureWindow(picture)) {
        reportProblem("Demo: can't make the screenshot %s", path.c_str());
        return;
    }
    if (!picture.saveToFile(path)) {
        reportProblem("Demo: can't write the screenshot %s", path.c_str());
    }
    // Encoding the picture takes a few hundred milliseconds: not a frame of play.
    figures.leaveOutNextFrame();
}

void DemoRun::end(bool failed) {
    if (phase == Phase::Done) {
        return;
    }
    phase = Phase::Done;
    failedRun = failed;
    const std::string report = figures.report();
    Console::standardOutput().writeLines(report);
    if (!folder.empty()) {
        const std::string path = (std::filesystem::path(folder) / "figures.txt").string();
        std::ofstream file(path);
        file << report;
        if (!file) {
            reportProblem("Demo: can't write %s", path.c_str());
        }
    }
    EventManager::instance().queueEvent(std::make_shared<ShutdownEvent>());
}
