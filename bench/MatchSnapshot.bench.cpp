// What a match snapshot costs with two full beards: the two computer players
// fight on the first arena with beards grown twenty times as fast as in
// play, until both have their 80 segments (some 330 bodies with their
// joints and contacts); then, in that match, saving (into a kept snapshot),
// restoring in place (the state of one frame back, so a few objects are
// made again), the snapshot's size, its checksum, and one frame played again
// as a rollback plays it (restore, one whole frame of the loop, save).
// Printed beside a plain frame of the loop for scale.
//
// Needs a display and the content: run it from build/ under
// xvfb-run -a -s "-screen 0 1920x1080x24 -noreset".

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ArenaPlayers.hpp"
#include "app/MatchSnapshot.hpp"
#include "core/StateManager.hpp"
#include "game/VorluneGame.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
using Clock = std::chrono::steady_clock;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

template <class Work> double microseconds(Work&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

bool fullBeards() {
    const auto both = arenaPlayers();
    return both.size() == 2 && std::all_of(both.begin(), both.end(), [](const auto& player) {
               return player->beard().segmentCount() >= player->tuning.maxSegments;
           });
}
} // namespace

int main() {
    setenv("ALSOFT_DRIVERS", "null", 0);
    VorluneGame game;
    game.options.noDraw = true;
    game.options.fast = true;
    char settingsFolder[] = "/tmp/vorlune-bench-settings-XXXXXX";
    if (!mkdtemp(settingsFolder)) {
        return 1;
    }
    game.options.configPath = settingsFolder;
    game.playerSetup->setComputer(1, true);
    game.playerSetup->setComputer(2, true);
    if (!game.init()) {
        return 1;
    }
    FrameTimes times;
    const auto oneStep = [&] { return game.fixedDelta; };
    StateManager::instance().setState("Arena");
    for (const auto& player : arenaPlayers()) {
        player->tuning.growInterval = 0.05f;
    }
    int frames = 0;
    while (!fullBeards() && frames < 60 * 60 && StateManager::instance().currentName() == "Arena") {
        game.runFrame(times, oneStep);
        ++frames;
    }
    if (!fullBeards()) {
        std::printf("bench_MatchSnapshot: the beards never grew full\n");
        return 1;
    }

    std::vector<double> saves, restores, checksums, replays, plain;
    MatchSnapshot before, now;
    size_t bytes = 0;
    WorldSnapshot largest;
    size_t largestScene = 0;
    // Only frames with both beards full count; a cut beard regrows first.
    for (int attempt = 0;
         attempt < 5000 && saves.size() < 200 && StateManager::instance().currentName() == "Arena";
         ++attempt) {
        if (!fullBeards()) {
            game.runFrame(times, oneStep);
            continue;
        }
        saveMatch(before);
        const FrameTimes timesBefore = times;
        plain.push_back(microseconds([&] { game.runFrame(times, oneStep); }));
        saves.push_back(microseconds([&] { saveMatch(now); }));
        checksums.push_back(microseconds([&] { snapshotChecksum(now); }));
        if (now.byteSize() > bytes) {
            bytes = now.byteSize();
            largest = now.physics.world;
            largestScene = now.scene.byteSize();
        }
        // Back one frame and forward again, as a rollback of one frame does.
        restores.push_back(microseconds([&] { restoreMatch(before); }));
        times = timesBefore;
        replays.push_back(microseconds([&] {
            game.runFrame(times, oneStep);
            saveMatch(now);
        }));
    }
    const auto& world = largest;
    std::printf(
        "  largest: world %.1f KB (%zu bodies, %zu contacts, %zu joints, %zu tree nodes), scene %.1f KB "
        "(%zu + %zu bytes, %zu references)\n",
        static_cast<double>(world.byteSize()) / 1024.0, world.bodies.size(), world.contacts.size(),
        world.joints.size(), world.treeNodes.size(), static_cast<double>(largestScene) / 1024.0,
        now.scene.objects.bytes.size(), now.scene.components.bytes.size(),
        now.scene.objects.refs.size() + now.scene.components.refs.size());
    std::printf("match snapshot with two full beards (%zu frames measured)\n", saves.size());
    std::printf("  save                      %8.1f us (median)\n", median(saves));
    std::printf("  restore, one frame back   %8.1f us\n", median(restores));
    std::printf("  checksum                  %8.1f us\n", median(checksums));
    std::printf("  snapshot size             %8.1f KB\n", static_cast<double>(bytes) / 1024.0);
    std::printf("  frame played again + save %8.1f us\n", median(replays));
    std::printf("  plain frame (undrawn)     %8.1f us\n", median(plain));
    std::printf("  8 frames rolled back      %8.1f ms (restore + 8 x (frame + save))\n",
                (median(restores) + 8.0 * median(replays)) / 1000.0);
    return 0;
}
