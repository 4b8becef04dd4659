#include <gtest/gtest.h>

#include "app/Engine.hpp"
#include "common/CaseReset.hpp"
#include "common/PrivateSettingsFolder.hpp"

namespace {
// Many cases run in one process, each on the engine as a fresh process has
// it. The first case of a process needs no reset; leaving it out also keeps
// the singletons uncreated until a case makes them, so a case that runs alone
// in its process (program exit, see tests/CMakeLists.txt) sees them created,
// and destroyed at exit, in its own order.
class FreshStateForEachCase : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override {
        PrivateSettingsFolder::empty();
        if (anyStarted) {
            resetForNextCase();
        }
        anyStarted = true;
    }

private:
    bool anyStarted = false;
};
} // namespace

// The engine's modules are connected as a Game connects them, so cases that
// drive the managers without a Game see the same engine.
int main(int argc, char** argv) {
    const PrivateSettingsFolder settings;
    ::testing::InitGoogleTest(&argc, argv);
    connectEngine();
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStateForEachCase);
    return RUN_ALL_TESTS();
}
