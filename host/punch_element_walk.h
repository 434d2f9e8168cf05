// punch_element_walk.h - how the host hands a punching element of the work
// to the module: it derives the hook's points and the element record from
// the job's terms and calls the element's hook through the table.
#pragma once

#include "job/punch_element.h"

namespace host::detail {

// Calls pp_cut, pp_nibble_l, pp_nibble_c, pp_nibble_a or pp_bolt_hole_circle
// and answers its result.
int walk_punch_element(const job::PunchElement &element);

// Where a nibbled line, circle or arc ends as the control reads the values
// of its command written: a line at its end; a circle or arc on its radius
// at its end, or with tool set where the control leaves the tool: outside
// the radius by the allowance.
void nibbled_end_as_written(const job::PunchElement &element, bool tool, double &x, double &y);

}  // namespace host::detail
