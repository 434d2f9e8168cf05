// check.h - the clamps and the sheet against what the machine does: a sink
// of the control model's events that finds every stroke (single, in a row, a
// circle, along a nibbled path, in a copy of a pattern) whose footprint
// reaches into a clamp's zone, every laser cut that runs into one, and all
// such work that lies off the sheet.
//
// The events are in the control's coordinates.  The check follows the sheet
// under them: the explicit re-grip moves the control's X against the sheet,
// every re-grip moves the clamps along the sheet, and a frame block ("FRM/",
// the sheet loaded afresh at a flip or turn) puts both back.  After an
// operator's stop with a comment (a flip or a turn) the sheet may lie either
// way round, and work counts as off the sheet only off both.
#pragma once

#include <vector>

#include "nc/event.h"
#include "safety/finding.h"
#include "safety/geometry.h"
#include "safety/layout.h"

namespace safety {

class Check {
public:
    explicit Check(Layout layout);

    // What the event does wrong, in order; empty for most.  A nibbled path
    // gives one finding for each zone (and the outline) it strikes, its
    // deepest stroke with the count of them.  Valid until the next call.
    const std::vector<Finding> &add(const nc::Event &e);

    // Whether stroke k of the nibbled path just added strikes a zone or lies
    // off the sheet.
    bool strikes(long long k) const;

    // The zone of each clamp where it holds the sheet now, on the sheet:
    // from x0 to x1 (corners 0 and 1), up to y (corner 2).
    const std::vector<Polygon> &zones() const { return zones_; }

private:
    void place(nc::Event &e);
    void move_zones();
    // The findings of one stroke of e's station at `at`, into out.
    void stroke(const nc::Event &e, Work work, Point at, long long k, std::vector<Finding> &out) const;
    void nibble(const nc::Event &e);
    static Point nibbled(const nc::Event &e, long long k);
    void cut(const nc::Event &e);
    // How far p lies off the sheet (0 on it).
    double off_sheet(Point p) const;
    // A finding of e in zone (-1: off the sheet).
    Finding finding(const nc::Event &e, Work work, int zone, double depth, Point at) const;

    Layout layout_;
    std::vector<Finding> found_;
    nc::Event last_;                        // the event just added, on the sheet
    double shift_x_ = 0.0, shift_y_ = 0.0;  // the control's coordinates to the sheet's
    double along_ = 0.0;                    // the clamps moved along the sheet by re-grips
    bool either_way_ = false;               // the sheet may have been turned
    std::vector<Polygon> zones_;
};

}  // namespace safety
