#include "app/SyncTest.hpp"

#include <string>

#include "core/Report.hpp"
#include "core/StateManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// " \"NAME\"" of the listed object with that serial, or nothing.
std::string objectName(uint32_t serial) {
    std::string name;
    GameObjectManager::instance().forEachObject([&](const std::shared_ptr<GameObject>& object) {
        if (object->serial == serial) {
            name = " \"" + object->name + "\"";
        }
    });
    return name;
}
} // namespace

SyncTest::SyncTest(int depth) : depth(depth), history(static_cast<size_t>(depth) + 1) {}

void SyncTest::note(Frame& frame) {
    saveMatch(frame.after);
    frame.parts = snapshotPartChecksums(frame.after);
    frame.checksum = frame.parts.combined();
    frame.stateEntry = StateManager::instance().entries;
}

void SyncTest::afterFrame(float delta, const InputManager::SampledState& input, const Clock& clock,
                          const Replay& replay) {
    const unsigned long frame = ++frames;
    Frame& latest = slot(frame);
    latest.delta = delta;
    latest.input = input;
    latest.clock = clock;
    note(latest);
    if (frame > firstInHistory + 1 && latest.stateEntry != slot(frame - 1).stateEntry) {
        // The frames before lie in another state or world.
        firstInHistory = frame - 1;
    }
    const unsigned long from = frame - static_cast<unsigned long>(depth);
    if (frame <= static_cast<unsigned long>(depth) || from <= firstInHistory) {
        return;
    }
    Frame& start = slot(from);
    if (!restoreMatch(start.after)) {
        ++mismatchCount;
        firstInHistory = frame;
        return;
    }
    Clock now = start.clock;
    for (unsigned long again = from + 1; again <= frame; ++again) {
        Frame& played = slot(again);
        const uint32_t first = played.checksum;
        const SnapshotParts firstParts = played.parts;
        // Kept only to tell where the first difference lies: later ones are counted, not told.
        if (mismatchCount == 0) {
            firstScene.components = played.after.scene.components;
            firstScene.componentStarts = played.after.scene.componentStarts;
        }
        now = replay(now, played.delta, played.input);
        played.clock = now;
        note(played);
        ++replayed;
        if (played.checksum != first) {
            if (mismatchCount == 0) {
                std::string parts;
                for (int part = 0; part < SnapshotParts::count; ++part) {
                    if (played.parts.checksums[part] != firstParts.checksums[part]) {
                        parts += parts.empty() ? "" : ", ";
                        parts += SnapshotParts::name(part);
                    }
                }
                const uint32_t object = firstDifferingObject(firstScene, played.after.scene);
                if (object != 0) {
                    parts += ", first in object " + std::to_string(object) + objectName(object);
                }
                reportProblem("sync test: frame %lu differs when played again from frame %lu in \"%s\" "
                              "(%08X, first %08X: %s)",
                              again, from, StateManager::instance().currentName().c_str(), played.checksum,
                              first, parts.c_str());
            }
            ++mismatchCount;
        }
    }
}
