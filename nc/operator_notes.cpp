// operator_notes.cpp - the flip and turn notes, as the machine's messages
// have them.
#include "nc/operator_notes.h"

namespace nc {
namespace {

constexpr const char *FLIP_NOTE = "FLIP THE SHEET AND RESTART";
constexpr const char *TURN_NOTES[TURN_KINDS] = {"TURN THE SHEET 90 DEGREES CLOCKWISE AND RESTART",
                                                "TURN THE SHEET 180 DEGREES AND RESTART",
                                                "TURN THE SHEET 90 DEGREES COUNTERCLOCKWISE AND RESTART"};

}  // namespace

std::string flip_note() { return std::string("(") + FLIP_NOTE + ")"; }

std::string turn_note(int kind) {
    if (kind < 0 || kind >= TURN_KINDS) return "";
    return std::string("(") + TURN_NOTES[kind] + ")";
}

bool reloads_the_sheet(std::string_view comment) {
    if (comment == flip_note()) return true;
    for (int kind = 0; kind < TURN_KINDS; ++kind) {
        if (comment == turn_note(kind)) return true;
    }
    return false;
}

}  // namespace nc
