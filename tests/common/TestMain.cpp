#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

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

// A report folder given in GTEST_OUTPUT ("xml:DIR/") gets a file named after this process: gtest's own choice of
// a free name in the folder races when several test processes start at once,
// and one report overwrites another.
void reportIntoOwnFile() {
    const std::string output = GTEST_FLAG_GET(output);
    if (output.rfind("xml:", 0) != 0 || output.back() != '/') {
        return;
    }
    GTEST_FLAG_SET(output, output + "cases-" + std::to_string(getpid()) + ".xml");
}
} // namespace

// The engine's modules are connected as a Game connects them, so cases that
// drive the managers without a Game see the same engine.
int main(int argc, char** argv) {
    const PrivateSettingsFolder settings;
    reportIntoOwnFile();
    ::testing::InitGoogleTest(&argc, argv);
    connectEngine();
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStateForEachCase);
    return RUN_ALL_TESTS();
}
