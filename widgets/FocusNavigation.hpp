#pragma once

#include <memory>
#include <vector>

#include "widgets/Widget.hpp"

namespace widgets {

enum class FocusDirection { up, down, left, right };

// The control an arrow key leads to from `from` among `controls` (shown
// ones, `from` among them or not), by where they are drawn: the nearest one
// ahead, those in line with `from` (its column for Up and Down, its row for
// Left and Right). With none in line ahead it wraps to the farthest one in
// line behind (the top of the column, the start of the row); with none in
// line at all, the nearest one ahead out of line. Empty when there is
// none of these: the caller then goes by reading order.
std::shared_ptr<Widget> neighbourTowards(const std::vector<std::shared_ptr<Widget>>& controls,
                                         const Widget& from, FocusDirection direction);

} // namespace widgets
