#include <gtest/gtest.h>

#include "common/MouseEvents.hpp"
#include "widgets/Gui.hpp"
#include "widgets/Slider.hpp"

using namespace widgets;

namespace {
// A slider from 0 to 100 in steps of 10 on the track (100, 100) .. (300, 120),
// recording every value it reports.
class SliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui.setSize({800.0f, 600.0f});
        slider->setPosition(Layout2d(100.0f, 100.0f));
        slider->setSize(Layout2d(200.0f, 20.0f));
        slider->setMaximum(100.0f);
        slider->setStep(10.0f);
        slider->onValueChange.connect([this](float value) { reported.push_back(value); });
        gui.add(slider, "Volume");
    }

    Gui gui;
    std::shared_ptr<Slider> slider = Slider::create();
    std::vector<float> reported;
};
} // namespace

TEST_F(SliderTest, ValuesAreClampedAndSnappedToSteps) {
    slider->setValue(44.0f);
    EXPECT_EQ(slider->getValue(), 40.0f);
    slider->setValue(46.0f);
    EXPECT_EQ(slider->getValue(), 50.0f);
    slider->setValue(170.0f);
    EXPECT_EQ(slider->getValue(), 100.0f);
    slider->setValue(-3.0f);
    EXPECT_EQ(slider->getValue(), 0.0f);
    slider->setValue(2.0f);
    EXPECT_EQ((std::vector<float>{40.0f, 50.0f, 100.0f, 0.0f}), reported) << "no report without a change";

    slider->setMinimum(150.0f);
    EXPECT_EQ(slider->getMaximum(), 150.0f);
    EXPECT_EQ(slider->getValue(), 150.0f);
    slider->setMinimum(0.0f);
    slider->setMaximum(95.0f);
    slider->setValue(94.0f);
    EXPECT_EQ(slider->getValue(), 95.0f) << "the last, shorter step stops at the maximum";
}

TEST_F(SliderTest, ClickOnTheTrackJumpsThere) {
    gui.handleEvent(mouse::pressed(150, 110));
    EXPECT_EQ(slider->getValue(), 30.0f) << "a quarter of the way, snapped";
    gui.handleEvent(mouse::released(150, 110));
    gui.handleEvent(mouse::pressed(299, 105));
    gui.handleEvent(mouse::released(299, 105));
    EXPECT_EQ(slider->getValue(), 100.0f);
    EXPECT_EQ((std::vector<float>{30.0f, 100.0f}), reported);
}

TEST_F(SliderTest, DraggingBeyondTheEndsStopsAtThem) {
    gui.handleEvent(mouse::pressed(200, 110));
    EXPECT_EQ(slider->getValue(), 50.0f);
    gui.handleEvent(mouse::moved(700, 500));
    EXPECT_EQ(slider->getValue(), 100.0f) << "the drag follows the mouse off the slider";
    gui.handleEvent(mouse::moved(-40, 110));
    EXPECT_EQ(slider->getValue(), 0.0f);
    gui.handleEvent(mouse::moved(160, 110));
    EXPECT_EQ(slider->getValue(), 30.0f);
    gui.handleEvent(mouse::released(160, 110));
    gui.handleEvent(mouse::moved(280, 110));
    EXPECT_EQ(slider->getValue(), 30.0f) << "moving after the release changes nothing";
}

TEST_F(SliderTest, GrabbingTheThumbOffCentreDoesNotJump) {
    slider->setValue(50.0f);
    reported.clear();
    // The thumb is centred at x = 200; grab it 6 pixels right of its centre.
    gui.handleEvent(mouse::pressed(206, 110));
    EXPECT_EQ(slider->getValue(), 50.0f);
    gui.handleEvent(mouse::moved(246, 110));
    EXPECT_EQ(slider->getValue(), 70.0f);
    gui.handleEvent(mouse::ofType(sf::Event::LostFocus));
    gui.handleEvent(mouse::moved(106, 110));
    EXPECT_EQ(slider->getValue(), 70.0f) << "focus loss ends the drag";
    EXPECT_EQ((std::vector<float>{70.0f}), reported);
}

TEST_F(SliderTest, ContinuousSliderTakesAnyValue) {
    slider->setStep(0.0f);
    gui.handleEvent(mouse::pressed(133, 110));
    EXPECT_FLOAT_EQ(slider->getValue(), 16.5f);
}
