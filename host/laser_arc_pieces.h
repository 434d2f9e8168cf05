// laser_arc_pieces.h - laser arcs as the control cuts them, and split where
// it would cut them too far from the job's arc.
//
// "LCI/" gives the control an arc's end and radius, each rounded to the last
// digit written; the control puts the centre where a circle of that radius
// runs through the start it stands at and that end.  Near a half turn a
// rounding of thousandths moves the centre by tenths, and a radius rounded
// below half the chord makes no arc at all.  "CIR/" gives a full circle's
// centre, and the radius follows from the start.  The host works out the
// path the control would cut and, where it strays, cuts the arc in pieces of
// equal sweep, each as well placed as its own values allow.
#pragma once

#include <vector>

#include "job/job.h"

namespace host::detail {

struct ArcPoint {
    double x = 0.0;
    double y = 0.0;
};

// The points at which the arc element e (a full circle when it ends where it
// starts) is cut into pieces, its start and its end included: two points for
// an arc that needs no split.  Each piece, cut from its start as written to
// its end as written with its radius as written, lies everywhere within the
// tolerance of a laser path of the job's arc (laser_path_tolerance).
std::vector<ArcPoint> laser_arc_pieces(const job::LaserElement &e);

// How far a laser path may lie from the job's, millimetres: the tolerance of
// its ends plus half a unit, as its radius is written rounded too.
double laser_path_tolerance();

}  // namespace host::detail
