// sheet_frame.cpp - the control's coordinates followed onto the sheet.
#include "nc/sheet_frame.h"

namespace nc {

void SheetFrame::place(Event &e) {
    if (e.kind == EventKind::frame) {
        // The control's X of the place under the head becomes e.x: the place
        // on the sheet stays.
        e.x0 += shift_x_;
        e.y0 += shift_y_;
        shift_x_ = e.x0 - e.x;
        e.x += shift_x_;
        e.y += shift_y_;
        return;
    }
    if (e.kind == EventKind::stop && e.number == 1) {
        // The operator takes the sheet off and loads it again at the load
        // position: the control's coordinates are the sheet's again.
        shift(e, shift_x_, shift_y_);
        shift_x_ = 0.0;
        shift_y_ = 0.0;
        ++side_;
        return;
    }
    if (e.kind == EventKind::regrip && e.number == 0) {
        // The regrip is drawn where it began; what follows reads the sheet
        // shifted by the clamps' travel.
        e.x0 += shift_x_;
        e.y0 += shift_y_;
        shift_x_ += e.value;
        shift_y_ -= e.value2;
        e.x += shift_x_;
        e.y += shift_y_;
        return;
    }
    shift(e, shift_x_, shift_y_);
}

}  // namespace nc
