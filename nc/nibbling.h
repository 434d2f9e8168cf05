// nibbling.h - the strokes the control makes along a nibbled path: spread
// evenly from its start to its end, at most the step apart; a full circle
// does not strike its start twice.
#pragma once

#include "nc/event.h"

namespace nc {

// The length of the path (a nibble event), millimetres.
double nibble_length(const Event &e);

// How many strokes the control makes along it.
long long nibble_stroke_count(const Event &e);

// The k-th of them, from 0.
void nibble_stroke(const Event &e, long long k, double &x, double &y);

}  // namespace nc
