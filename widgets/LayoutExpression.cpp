#include "widgets/LayoutExpression.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "widgets/Group.hpp"

namespace widgets {

namespace {
// Per thread, since evaluation recurses through other widgets' getters.
struct LayoutEvaluationState {
    int depth = 0;
    int nodeDepth = 0;
    long steps = 0;
    // The current top-level evaluation hit a bound: everything below it gives 0.
    bool aborted = false;
    std::string problem;
    // What widgets' extents and positions came to within the current
    // top-level evaluation (the tree does not change during one): a widget
    // referred to many times, or by many widgets below it, is worked out once.
    std::map<std::pair<const Widget*, int>, float> known;
};

LayoutEvaluationState& layoutState() {
    thread_local LayoutEvaluationState evaluation;
    return evaluation;
}

void layoutRecordProblem(const std::string& problem) {
    LayoutEvaluationState& s = layoutState();
    s.aborted = true;
    if (s.problem.empty()) {
        s.problem = problem;
    }
}

float layoutBounded(float value) {
    if (std::isnan(value)) {
        return 0.0f;
    }
    return std::clamp(value, -LayoutExpression::maximumMagnitude, LayoutExpression::maximumMagnitude);
}

} // namespace

std::optional<float> knownLayout(const Widget* widget, int query) {
    const LayoutEvaluationState& s = layoutState();
    if (s.depth == 0) {
        return std::nullopt;
    }
    const auto found = s.known.find({widget, query});
    return found == s.known.end() ? std::nullopt : std::optional<float>(found->second);
}

float rememberLayout(const Widget* widget, int query, float value) {
    LayoutEvaluationState& s = layoutState();
    if (s.depth > 0) {
        s.known[{widget, query}] = value;
    }
    return value;
}

void clearLayoutProblem() {
    layoutState().problem.clear();
}

const std::string& layoutProblem() {
    return layoutState().problem;
}

float LayoutValue::resolve(const Widget* self, LayoutAxis axis, float parentExtent) const {
    if (!expression) {
        return pixels + percent / 100.0f * parentExtent;
    }
    LayoutEvaluationState& s = layoutState();
    if (s.depth == 0) {
        s.steps = 0;
        s.aborted = false;
    }
    if (s.aborted) {
        return 0.0f;
    }
    if (s.depth >= LayoutExpression::maximumDepth) {
        layoutRecordProblem("layout references that lead back to themselves (or more than " +
                            std::to_string(LayoutExpression::maximumDepth) + " deep)");
        return 0.0f;
    }
    ++s.depth;
    const float result = expression->evaluate(self, axis, parentExtent);
    --s.depth;
    if (s.depth == 0) {
        s.known.clear();
    }
    return s.aborted ? 0.0f : result;
}

std::shared_ptr<const LayoutExpression> LayoutExpression::number(float pixels) {
    auto node = std::shared_ptr<LayoutExpression>(new LayoutExpression());
    node->kind = Kind::Number;
    node->value = pixels;
    return node;
}

std::shared_ptr<const LayoutExpression> LayoutExpression::percent(float percent) {
    auto node = std::shared_ptr<LayoutExpression>(new LayoutExpression());
    node->kind = Kind::Percent;
    node->value = percent;
    return node;
}

std::shared_ptr<const LayoutExpression>
LayoutExpression::negate(std::shared_ptr<const LayoutExpression> operand) {
    auto node = std::shared_ptr<LayoutExpression>(new LayoutExpression());
    node->kind = Kind::Negate;
    node->left = std::move(operand);
    return node;
}

std::shared_ptr<const LayoutExpression>
LayoutExpression::binary(Operation operation, std::shared_ptr<const LayoutExpression> left,
                         std::shared_ptr<const LayoutExpression> right) {
    auto node = std::shared_ptr<LayoutExpression>(new LayoutExpression());
    node->kind = Kind::Binary;
    node->operation = operation;
    node->left = std::move(left);
    node->right = std::move(right);
    return node;
}

std::shared_ptr<const LayoutExpression> LayoutExpression::reference(Subject subject, std::string sibling,
                                                                    Attribute attribute) {
    auto node = std::shared_ptr<LayoutExpression>(new LayoutExpression());
    node->kind = Kind::Reference;
    node->subject = subject;
    node->sibling = std::move(sibling);
    node->attribute = attribute;
    return node;
}

float LayoutExpression::evaluate(const Widget* self, LayoutAxis axis, float parentExtent) const {
    return layoutBounded(evaluateNode(self, axis, parentExtent));
}

float LayoutExpression::evaluateNode(const Widget* self, LayoutAxis axis, float parentExtent) const {
    LayoutEvaluationState& s = layoutState();
    if (s.aborted) {
        return 0.0f;
    }
    if (++s.steps > maximumSteps) {
        layoutRecordProblem("layout expressions that take more than " + std::to_string(maximumSteps) +
                            " steps to evaluate");
        return 0.0f;
    }
    // Terms nest inside terms and, through references, inside other widgets'
    // expressions: the stack they take is bounded as a whole.
    if (s.nodeDepth >= maximumNodeDepth) {
        layoutRecordProblem("layout expressions nested more than " + std::to_string(maximumNodeDepth) +
                            " terms deep through their references");
        return 0.0f;
    }
    ++s.nodeDepth;
    const float result = evaluateTerm(self, axis, parentExtent);
    --s.nodeDepth;
    return result;
}

float LayoutExpression::evaluateTerm(const Widget* self, LayoutAxis axis, float parentExtent) const {
    switch (kind) {
    case Kind::Number:
        return value;
    case Kind::Percent:
        return value / 100.0f * parentExtent;
    case Kind::Negate:
        return -left->evaluateNode(self, axis, parentExtent);
    case Kind::Reference:
        return referenced(self);
    case Kind::Binary:
        break;
    }
    const float a = layoutBounded(left->evaluateNode(self, axis, parentExtent));
    const float b = layoutBounded(right->evaluateNode(self, axis, parentExtent));
    switch (operation) {
    case Operation::Add:
        return a + b;
    case Operation::Subtract:
        return a - b;
    case Operation::Multiply:
        return layoutBounded(a * b);
    case Operation::Divide:
        // A divisor that only becomes zero at some parent size: no layout
        // makes sense there, and 0 keeps the widget drawable.
        return b == 0.0f ? 0.0f : layoutBounded(a / b);
    case Operation::Minimum:
        return std::min(a, b);
    case Operation::Maximum:
        return std::max(a, b);
    }
    return 0.0f;
}

float LayoutExpression::referenced(const Widget* self) const {
    if (!self) {
        return 0.0f;
    }
    const Widget* target = self;
    if (subject == Subject::Parent) {
        target = self->getParent();
    } else if (subject == Subject::Sibling) {
        const Group* parent = self->getParent();
        target = parent ? parent->getDirect(sibling).get() : nullptr;
        if (!target) {
            layoutRecordProblem("a reference to '" + sibling + "', which is not a widget beside '" +
                                self->getName() + "'");
            return 0.0f;
        }
    }
    if (!target) {
        return 0.0f;
    }
    switch (attribute) {
    case Attribute::Left:
        return target->positionAlong(LayoutAxis::X);
    case Attribute::Top:
        return target->positionAlong(LayoutAxis::Y);
    case Attribute::Right:
        return target->positionAlong(LayoutAxis::X) + target->extentAlong(LayoutAxis::X);
    case Attribute::Bottom:
        return target->positionAlong(LayoutAxis::Y) + target->extentAlong(LayoutAxis::Y);
    case Attribute::Width:
        return target->extentAlong(LayoutAxis::X);
    case Attribute::Height:
        return target->extentAlong(LayoutAxis::Y);
    case Attribute::InnerWidth:
        return target->innerExtentAlong(LayoutAxis::X);
    case Attribute::InnerHeight:
        return target->innerExtentAlong(LayoutAxis::Y);
    }
    return 0.0f;
}

std::optional<float> LayoutExpression::constantValue() const {
    switch (kind) {
    case Kind::Number:
        return value;
    case Kind::Percent:
    case Kind::Reference:
        return std::nullopt;
    case Kind::Negate: {
        const auto operand = left->constantValue();
        return operand ? std::optional<float>(-*operand) : std::nullopt;
    }
    case Kind::Binary:
        break;
    }
    const auto a = left->constantValue();
    const auto b = right->constantValue();
    if (!a || !b) {
        return std::nullopt;
    }
    switch (operation) {
    case Operation::Add:
        return layoutBounded(*a + *b);
    case Operation::Subtract:
        return layoutBounded(*a - *b);
    case Operation::Multiply:
        return layoutBounded(*a * *b);
    case Operation::Divide:
        return *b == 0.0f ? 0.0f : layoutBounded(*a / *b);
    case Operation::Minimum:
        return std::min(*a, *b);
    case Operation::Maximum:
        return std::max(*a, *b);
    }
    return std::nullopt;
}

bool LayoutExpression::dividesByConstantZero() const {
    if (kind != Kind::Binary || operation != Operation::Divide) {
        return false;
    }
    const auto divisor = right->constantValue();
    return divisor && *divisor == 0.0f;
}

} // namespace widgets
