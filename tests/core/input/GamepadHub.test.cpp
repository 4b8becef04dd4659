#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "common/MapFixtures.hpp"
#include "common/TestOutput.hpp"
#include "common/VirtualPads.hpp"
#include "core/input/GamepadHub.hpp"
#include "core/input/InputCodes.hpp"

namespace {
std::string guidOfFirstPad() {
    char text[33] = {};
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(0), text, sizeof(text));
    return text;
}

bool said(const std::vector<PadHappening>& happenings, PadHappening::Kind kind, int32_t code = -1) {
    for (const auto& happening : happenings) {
        if (happening.kind == kind && (code < 0 || happening.code == code)) {
            return true;
        }
    }
    return false;
}
} // namespace

TEST(GamepadHub, TheUsersMappingFileNamesTheButtonsOfAPadSdlDidNotKnow) {
    auto& hub = GamepadHub::instance();
    ASSERT_TRUE(hub.start());
    VirtualPad odd("Odd Stick", 0x1209, 0x00F1, false);
    odd.plugIn();
    hub.poll(0.0f);
    const std::string guid = guidOfFirstPad();
    odd.setButton(3, true);
    auto happenings = hub.poll(0.0f);
    EXPECT_TRUE(said(happenings, PadHappening::Kind::pressed, inputCodes::joystickButton(0, 3)))
        << "without a mapping, its raw button";
    EXPECT_FALSE(hub.isMapped(0));
    // Raw buttons 0 to 99 have codes of their own; one numbered 100 or more
    // would make the next pad's button 0 and is left alone.
    odd.setButton(99, true);
    EXPECT_TRUE(said(hub.poll(0.0f), PadHappening::Kind::pressed, inputCodes::joystickButton(0, 99)));
    odd.setButton(100, true);
    odd.setButton(127, true);
    EXPECT_FALSE(said(hub.poll(0.0f), PadHappening::Kind::pressed)) << "buttons beyond the codes";
    odd.unplug();
    hub.reset();

    const std::string file = testOutputPath("pad-mappings/gamecontrollerdb.txt");
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    // A line for this machine without a platform, one for another platform
    // (skipped), and one SDL cannot read (reported with its line).
    std::ofstream(file) << "# a comment line\n"
                        << guid << ",Odd Stick,a:b3,b:b2,start:b7,leftx:a0,lefty:a1,\n"
                        << guid << ",Odd Stick,a:b0,platform:Windows,\n"
                        << "not a mapping\n";
    ReportCapture output;
    ASSERT_TRUE(hub.start(file));
    const std::string reported = output.text();
    EXPECT_NE(reported.find("gamecontrollerdb.txt line 4"), std::string::npos) << reported;
    EXPECT_EQ(reported.find("line 3"), std::string::npos) << reported;
    odd.plugIn();
    hub.poll(0.0f);
    odd.setButton(3, true);
    happenings = hub.poll(0.0f);
    EXPECT_TRUE(said(happenings, PadHappening::Kind::claimed));
    EXPECT_TRUE(said(happenings, PadHappening::Kind::pressed, inputCodes::padButton(0, PadButton::south)));
    EXPECT_TRUE(hub.isMapped(0));
    EXPECT_TRUE(hub.isButtonDown(0, PadButton::south));
    EXPECT_FALSE(hub.isRawButtonDown(0, 3)) << "a mapped pad is read by its names only";
    odd.setAxis(0, -1.0f);
    hub.poll(0.0f);
    EXPECT_FLOAT_EQ(hub.axisPosition(0, PadAxis::leftX), -1.0f);
}

TEST(GamepadHub, RumbleReachesThePadOfTheSlot) {
    auto& hub = GamepadHub::instance();
    ASSERT_TRUE(hub.start());
    EXPECT_FALSE(hub.rumble(0, 1.0f, 0.2f)) << "no pad";
    VirtualPad pad("Pad A", 0x1209, 0x000A);
    pad.plugIn();
    hub.poll(0.0f);
    pad.setButton(SDL_CONTROLLER_BUTTON_A, true);
    hub.poll(0.0f);
    EXPECT_TRUE(hub.rumble(0, 0.5f, 0.2f));
    EXPECT_EQ(pad.rumbles(), 1);
    EXPECT_FALSE(hub.rumble(1, 0.5f, 0.2f)) << "player 2 has no pad";
}
