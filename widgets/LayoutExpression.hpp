#pragma once

#include <memory>
#include <optional>
#include <string>

#include "widgets/Layout.hpp"

namespace widgets {

// A layout value written as an expression in a form: numbers (pixels),
// percentages of the parent's inner extent, + - * /, min and max, and
// references to the parent ('&'), the widget itself and its siblings by name.
// Immutable once built; shared by the values that use it.
//
// Evaluation is bounded: a chain of references deeper than `maximumDepth`
// (a cycle such as A.w = B.w, B.w = A.w), terms nested deeper than
// `maximumNodeDepth` across references (the stack), or one evaluation costing
// more than `maximumSteps` node visits gives 0 and is recorded as a failure, which the
// form builder turns into a refusal of the form. Division by zero and results
// beyond +-`maximumMagnitude` pixels give 0 and the limit respectively.
class LayoutExpression {
public:
    enum class Subject { Parent, Self, Sibling };
    enum class Attribute { Left, Top, Right, Bottom, Width, Height, InnerWidth, InnerHeight };
    enum class Operation { Add, Subtract, Multiply, Divide, Minimum, Maximum };

    static constexpr int maximumDepth = 128;
    static constexpr long maximumSteps = 100000;
    static constexpr int maximumNodeDepth = 4000;
    static constexpr float maximumMagnitude = 1.0e6f;

    static std::shared_ptr<const LayoutExpression> number(float pixels);
    static std::shared_ptr<const LayoutExpression> percent(float percent);
    static std::shared_ptr<const LayoutExpression> negate(std::shared_ptr<const LayoutExpression> operand);
    static std::shared_ptr<const LayoutExpression> binary(Operation operation,
                                                          std::shared_ptr<const LayoutExpression> left,
                                                          std::shared_ptr<const LayoutExpression> right);
    // `sibling` names the widget for Subject::Sibling and is empty otherwise.
    static std::shared_ptr<const LayoutExpression> reference(Subject subject, std::string sibling,
                                                             Attribute attribute);

    // Pixels, for the widget `self` (null: every reference is 0).
    float evaluate(const Widget* self, LayoutAxis axis, float parentExtent) const;

    // Whether this is a division whose divisor is a constant 0 (checked when a form is read).
    bool dividesByConstantZero() const;
    // The value when the expression holds neither percentages nor references.
    std::optional<float> constantValue() const;

private:
    enum class Kind { Number, Percent, Negate, Binary, Reference };
    LayoutExpression() = default;
    float evaluateNode(const Widget* self, LayoutAxis axis, float parentExtent) const;
    float evaluateTerm(const Widget* self, LayoutAxis axis, float parentExtent) const;
    float referenced(const Widget* self) const;

    Kind kind = Kind::Number;
    float value = 0.0f;
    Operation operation = Operation::Add;
    std::shared_ptr<const LayoutExpression> left, right;
    Subject subject = Subject::Self;
    std::string sibling;
    Attribute attribute = Attribute::Width;
};

// While a layout expression is being evaluated on this thread: a widget's
// extent or position (`query` tells which and along which axis) as already
// worked out in this evaluation; empty otherwise. Widgets use these to work
// each out once per evaluation, which keeps the work linear in the widgets
// however many times they are referred to.
std::optional<float> knownLayout(const Widget* widget, int query);
// Notes the value when an evaluation is under way; returns it.
float rememberLayout(const Widget* widget, int query, float value);

// Failures of layout evaluation on this thread since the last clear: a
// reference cycle, too much work, or a sibling that does not exist. The form
// builder clears, evaluates a new form's layouts and reads the first problem.
void clearLayoutProblem();
// Empty when there was none.
const std::string& layoutProblem();

} // namespace widgets
