// punch_element_walk.h - how the host hands a punching element of the work
// to the module: it derives the hook's points and the element record from
// the job's terms and calls the element's hook through the table.
#pragma once

#include "job/punch_element.h"

namespace host::detail {

// Calls pp_cut, pp_nibble_l, pp_nibble_c, pp_nibble_a or pp_bolt_hole_circle
// and answers its result.
int walk_punch_element(const job::PunchElement &element);

}  // namespace host::detail
