#include <fstream>

#include <gtest/gtest.h>

#include "app/GuiManager.hpp"
#include "common/TestOutput.hpp"
#include "game/states/ButtonSounds.hpp"
#include "widgets/Button.hpp"

// A damaged page (an emptied form file is a valid form with no widgets) must
// say which file lacks the button the game needs, not only the page's name.
TEST(ButtonSounds, AMissingButtonIsReportedWithItsFormFileAndAPresentOneIsConnected) {
    const std::string emptyForm = testOutputPath("forms/Empty.txt");
    std::ofstream(emptyForm) << "";
    const std::string fullForm = std::string(VORLUNE_SOURCE_DIR) + "/tests/widgets/forms/AllWidgets.txt";
    auto& gui = GuiManager::instance();
    ASSERT_TRUE(gui.loadGroup("menu", emptyForm));
    ASSERT_TRUE(gui.loadGroup("full", fullForm));
    EXPECT_EQ(gui.formOf("menu"), emptyForm);
    EXPECT_EQ(gui.formOf("never"), "");

    const float volume = 0.0f;
    int presses = 0;
    testing::internal::CaptureStderr();
    connectButton("menu", "StartGame", volume, [&] { ++presses; });
    connectButton("never", "StartGame", volume, [&] { ++presses; });
    connectButton("full", "Start", volume, [&] { ++presses; });
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_EQ(output, "Page menu (" + emptyForm + ") has no button StartGame; it does nothing\n");

    gui.getWidget<widgets::Button>("full", "Start")->onPress.emit();
    EXPECT_EQ(presses, 1);
}
