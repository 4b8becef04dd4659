#include "widgets/FocusNavigation.hpp"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace widgets {

namespace {
// A rectangle seen along the move (position and extent on the move's axis)
// and across it.
struct Extents {
    float along, alongSize, acrossLow, acrossHigh;
};

Extents extentsOf(const sf::FloatRect& rect, bool vertical) {
    if (vertical) {
        return {rect.top + rect.height / 2.0f, rect.height, rect.left, rect.left + rect.width};
    }
    return {rect.left + rect.width / 2.0f, rect.width, rect.top, rect.top + rect.height};
}
} // namespace

std::shared_ptr<Widget> neighbourTowards(const std::vector<std::shared_ptr<Widget>>& controls,
                                         const Widget& from, FocusDirection direction) {
    const bool vertical = direction == FocusDirection::up || direction == FocusDirection::down;
    const float sign = direction == FocusDirection::down || direction == FocusDirection::right ? 1.0f : -1.0f;
    const Extents start = extentsOf(from.getAbsoluteRect(), vertical);
    const float startCentre = (start.acrossLow + start.acrossHigh) / 2.0f;

    // Ahead: out of line first, then the nearest, then the closest across.
    using AheadKey = std::tuple<bool, float, float>;
    // Behind, in line: the farthest, then the closest across.
    using WrapKey = std::tuple<float, float>;
    std::shared_ptr<Widget> ahead, wrapped;
    AheadKey bestAhead{};
    WrapKey bestWrap{};
    for (const auto& control : controls) {
        if (control.get() == &from) {
            continue;
        }
        const Extents at = extentsOf(control->getAbsoluteRect(), vertical);
        const float gap = sign * (at.along - start.along);
        // Within half a row (column) counts as the same row: not below, not beside.
        const float sameLine = std::min(start.alongSize, at.alongSize) / 2.0f;
        const bool inLine =
            std::min(start.acrossHigh, at.acrossHigh) > std::max(start.acrossLow, at.acrossLow);
        const float offset = std::abs((at.acrossLow + at.acrossHigh) / 2.0f - startCentre);
        if (gap > sameLine) {
            const AheadKey key{!inLine, gap, offset};
            if (!ahead || key < bestAhead) {
                ahead = control;
                bestAhead = key;
            }
        } else if (gap < -sameLine && inLine) {
            const WrapKey key{gap, offset};
            if (!wrapped || key < bestWrap) {
                wrapped = control;
                bestWrap = key;
            }
        }
    }
    // In line ahead, then wrapping in line, and only then out of line ahead
    // (the one button below a row of cards), never a jump to another row.
    if (ahead && !std::get<0>(bestAhead)) {
        return ahead;
    }
    return wrapped ? wrapped : ahead;
}

} // namespace widgets
