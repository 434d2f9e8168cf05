// arc_path.h - how far two laser paths lie apart.
//
// A laser arc is compared by the path the control cuts, not by its numbers:
// near a half turn two arcs with the same end and nearly the same radius
// run millimetres apart.  The distance between two paths is the largest
// distance of a point of either from the other.
#pragma once

#include "nc/event.h"

namespace verify {

// The largest distance, in millimetres, of a point of one laser element's
// path from the other's (lines, arcs and full circles alike; events of kind
// laser).
double path_distance(const nc::Event &a, const nc::Event &b);

// The largest distance of a point of piece's path from whole's path: how far
// the piece strays from the path it is a part of.
double distance_from_path(const nc::Event &piece, const nc::Event &whole);

}  // namespace verify
