#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <type_traits>

#include <box2d/b2_prismatic_joint.h>
#include <box2d/b2_revolute_joint.h>

#include "core/StateIo.hpp"
#include "physics/JointComponent.hpp"

// A joint with one free axis (a hinge's angle, a slider's translation) and a
// limit and a motor on it. The settings are kept in the component: they apply
// at once to a live joint, and a joint made again by `createJoint` (a new
// world, a re-created body) starts with them, because the concrete kind
// writes them into its definition. Units are the axis's: radians for a hinge,
// metres for a slider. Non-finite values are ignored.
//
// Joint is the Box2D joint class the concrete kind's definition makes.
template <class Joint> class OneAxisJointComponent : public JointComponent {
public:
    using JointComponent::JointComponent;

    // The range the limit holds the axis to; given in either order.
    void setLimits(float lower, float upper) {
        if (!std::isfinite(lower) || !std::isfinite(upper)) {
            return;
        }
        // Box2D asserts lower <= upper.
        std::tie(lowerLimit, upperLimit) = std::minmax(lower, upper);
        if (Joint* live = liveAxisJoint()) {
            live->SetLimits(lowerLimit, upperLimit);
        }
    }
    void enableLimit(bool on) {
        limitEnabled = on;
        if (Joint* live = liveAxisJoint()) {
            live->EnableLimit(on);
        }
    }
    // Speed the motor drives the axis at, per second.
    void setMotorSpeed(float speed) {
        if (!std::isfinite(speed)) {
            return;
        }
        motorSpeed = speed;
        if (Joint* live = liveAxisJoint()) {
            live->SetMotorSpeed(speed);
        }
    }
    void enableMotor(bool on) {
        motorEnabled = on;
        if (Joint* live = liveAxisJoint()) {
            live->EnableMotor(on);
        }
    }

    // Current settings; change them through the operations so a live joint follows.
    float lowerLimit = 0.0f;
    float upperLimit = 0.0f;
    bool limitEnabled = false;
    float motorSpeed = 0.0f;
    // Most torque (hinge, newton-metres) or force (slider, newtons) the motor may use.
    float maxMotorEffort = 0.0f;
    bool motorEnabled = false;

    // The limit and the motor: game code changes them on a live joint (a
    // beard's tip locks its slider).
    void snapshotState(StateIo& io) override {
        float lower = lowerLimit, upper = upperLimit, speed = motorSpeed, effort = maxMotorEffort;
        bool limit = limitEnabled, motor = motorEnabled;
        io.value(lower);
        io.value(upper);
        io.value(limit);
        io.value(speed);
        io.value(effort);
        io.value(motor);
        if (!io.saving()) {
            setLimits(lower, upper);
            enableLimit(limit);
            setMotorSpeed(speed);
            enableMotor(motor);
            if constexpr (std::is_same_v<Joint, b2RevoluteJoint>) {
                setMaxMotorEffort(effort, &b2RevoluteJoint::SetMaxMotorTorque);
            } else {
                setMaxMotorEffort(effort, &b2PrismaticJoint::SetMaxMotorForce);
            }
        }
    }

protected:
    // The concrete kind's setter for the motor's torque or force; negative counts as 0.
    void setMaxMotorEffort(float effort, void (Joint::*apply)(float)) {
        if (!std::isfinite(effort)) {
            return;
        }
        maxMotorEffort = std::max(effort, 0.0f);
        if (Joint* live = liveAxisJoint()) {
            (live->*apply)(maxMotorEffort);
        }
    }

private:
    // Only the concrete kind's definition ever makes the joint.
    Joint* liveAxisJoint() { return static_cast<Joint*>(liveJoint()); }
};
