// geometry.h - the plane geometry of the clamp and sheet checks: convex
// polygons, how deep a point, a footprint or a segment reaches into one, and
// arcs cut into chords.
#pragma once

#include <vector>

#include "safety/footprint.h"

namespace safety {

struct Point {
    double x = 0.0, y = 0.0;
};

// A convex polygon, its corners counter-clockwise.
using Polygon = std::vector<Point>;

// The axis-parallel rectangle from (x0, y0) to (x1, y1), x0 <= x1, y0 <= y1.
Polygon rectangle(double x0, double y0, double x1, double y1);

// How far p lies inside the polygon: its distance to the outline when inside,
// minus its distance to the polygon when outside.
double depth_inside(const Polygon &polygon, Point p);

// How far a stroke of the footprint at place, turned by angle (degrees,
// counter-clockwise), reaches into the polygon: the least way it must move
// to come clear of it; 0 or less when it is clear.
double footprint_reach(const Polygon &polygon, const Footprint &f, Point place, double angle);

// The radius of the smallest circle about the footprint's centre that holds it.
double footprint_radius(const Footprint &f);

// The deepest point of the segment a-b inside the polygon, and its depth (0
// or less when the segment stays outside).
double deepest_on_segment(const Polygon &polygon, Point a, Point b, Point &deepest);

// The arc from start about centre through sweep degrees (positive
// counter-clockwise) as the corners of chords that lie within max_error of
// it, from start to its end; at most a few thousand.
std::vector<Point> arc_chords(Point start, Point centre, double sweep, double max_error);

}  // namespace safety
