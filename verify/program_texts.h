// program_texts.h - the texts a program carries for the operator: the
// header's comments and the notes before a stop to flip or turn the sheet,
// as this machine's program writes them from a job.
#pragma once

#include <string>

#include "job/job.h"
#include "nc/operator_notes.h"

namespace verify {

// A distance as the program writes it: millimetres with at most two
// decimals, inches with at most three (no trailing zeros, no "-0").
std::string distance_text(double mm, bool inch);

// "(NEST-0001)", "(SHEET - 2 X 2500 Y 1250)", "(CLAMP 1 350 CLAMP 2 1150 )".
std::string nest_comment(const job::Job &job);
std::string sheet_comment(const job::Job &job);
std::string clamp_comment(const job::Job &job);

// The note before the stop of a flip, and of a turn of a kind ("" for a
// kind the operator is told nothing of).
using nc::flip_note;
using nc::turn_note;

}  // namespace verify
