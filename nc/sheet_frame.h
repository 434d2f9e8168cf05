// sheet_frame.h - where the control's events lie on the sheet.
//
// The control's coordinates are moved along by the explicit re-grip
// sequence (its incremental moves shift the control's X against the sheet).
// A frame block names anew the X of the place where the sheet stands, which
// stays where it is on the sheet.  And which side of the sheet is up: after
// a stop the operator was told about (the flip and the turn stop so), the
// work may be on the sheet turned or flipped, loaded again at the load
// position (the control's coordinates are the sheet's).
#pragma once

#include "nc/event.h"

namespace nc {

class SheetFrame {
public:
    // Takes the frame's changes from e and moves e onto the sheet.
    void place(Event &e);
    // sheet = control + shift, for what comes next.
    double shift_x() const { return shift_x_; }
    double shift_y() const { return shift_y_; }
    // 0 before the first stop for the operator, then 1, 2, ...
    int side() const { return side_; }

private:
    double shift_x_ = 0.0, shift_y_ = 0.0;
    int side_ = 0;
};

}  // namespace nc
