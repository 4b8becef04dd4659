#include <gtest/gtest.h>

#include "net/LockstepInputs.hpp"

namespace {
net::PlayerInput inputNumbered(int number) {
    net::PlayerInput input;
    input.down = static_cast<uint8_t>(number);
    input.axes = {static_cast<int16_t>(number), static_cast<int16_t>(-number)};
    return input;
}
} // namespace

TEST(LockstepInputs, TheFirstDelayFramesPlayNothingAndLaterOnesWaitForBothSides) {
    net::LockstepInputs inputs;
    inputs.start(3);
    for (uint32_t frame = 0; frame < 3; ++frame) {
        ASSERT_TRUE(inputs.ready(frame));
        EXPECT_EQ(inputs.local(frame), net::PlayerInput());
        EXPECT_EQ(inputs.remote(frame), net::PlayerInput());
    }
    EXPECT_FALSE(inputs.ready(3));
    EXPECT_EQ(inputs.nextLocalFrame(), 3u);
    inputs.addLocal(inputNumbered(1));
    EXPECT_FALSE(inputs.ready(3)) << "the other side's input of frame 3 is missing";
    net::InputRun run;
    run.firstFrame = 3;
    run.frames = {inputNumbered(7)};
    EXPECT_TRUE(inputs.receive(run));
    ASSERT_TRUE(inputs.ready(3));
    EXPECT_EQ(inputs.local(3), inputNumbered(1));
    EXPECT_EQ(inputs.remote(3), inputNumbered(7));
}

TEST(LockstepInputs, ALostRunCostsNothingBecauseTheNextRepeatsItAndRepeatsAreSkipped) {
    net::LockstepInputs sender;
    net::LockstepInputs receiver;
    sender.start(2);
    receiver.start(2);
    sender.addLocal(inputNumbered(1));
    const net::InputRun lost = sender.outgoing();
    EXPECT_EQ(lost.firstFrame, 2u);
    sender.addLocal(inputNumbered(2));
    const net::InputRun next = sender.outgoing();
    ASSERT_EQ(next.frames.size(), 2u) << "the unconfirmed frame 2 travels again";
    EXPECT_TRUE(receiver.receive(next));
    EXPECT_FALSE(receiver.receive(next)) << "a duplicate teaches nothing";
    EXPECT_FALSE(receiver.receive(lost)) << "a late old run teaches nothing";
    EXPECT_EQ(receiver.remote(2), inputNumbered(1));
    EXPECT_EQ(receiver.remote(3), inputNumbered(2));

    // Once the receiver confirms, the sender sends only what is new.
    net::InputRun confirmation = receiver.outgoing();
    EXPECT_EQ(confirmation.receivedUpTo, 4u);
    sender.receive(confirmation);
    sender.addLocal(inputNumbered(3));
    EXPECT_EQ(sender.outgoing().firstFrame, 4u);
    EXPECT_EQ(sender.outgoing().frames.size(), 1u);
}

TEST(LockstepInputs, ARunBeyondAGapOrAWildConfirmationIsIgnored) {
    net::LockstepInputs inputs;
    inputs.start(2);
    net::InputRun far;
    far.firstFrame = 4000000000u;
    far.receivedUpTo = 4000000000u;
    far.frames = {inputNumbered(1)};
    EXPECT_FALSE(inputs.receive(far));
    EXPECT_EQ(inputs.remoteKnownUpTo(), 2u);
    inputs.addLocal(inputNumbered(5));
    EXPECT_EQ(inputs.outgoing().firstFrame, 2u) << "a confirmation of frames never sent is not believed";
}

TEST(LockstepInputs, ALongMatchKeepsOnlyTheFramesStillNeeded) {
    net::LockstepInputs a;
    net::LockstepInputs b;
    a.start(4);
    b.start(4);
    uint32_t frame = 0;
    for (; frame < 20000; ++frame) {
        ASSERT_TRUE(a.ready(frame) && b.ready(frame)) << frame;
        EXPECT_EQ(a.local(frame), b.remote(frame));
        a.played(frame);
        b.played(frame);
        a.addLocal(inputNumbered(static_cast<int>(frame % 200)));
        b.addLocal(inputNumbered(static_cast<int>(frame % 100)));
        b.receive(a.outgoing());
        a.receive(b.outgoing());
    }
    EXPECT_LE(a.outgoing().frames.size(), 1u) << "everything older was confirmed";
}
