// Programs altered by hand are caught, the line named: a coordinate moved by
// 0.05 mm (0.002 inch) in a stroke, move, command or laser block; a block
// deleted, doubled or swapped with its neighbour where that changes the
// work; a T or C word changed; a pattern call's position changed.  And a job
// changed after posting no longer matches its old program, while empty lines
// added anywhere change nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "job/job_reader.h"
#include "nc/program_error.h"
#include "tests/support/cli_fixture.h"
#include "tests/support/host_fixture.h"
#include "tests/support/readback.h"

namespace {

enum class Change { nudge, remove, twice, swap, set };

struct Alteration {
    const char *golden;
    const char *what;
    Change change;
    int line;           // the line altered (the first of two swapped), counted from 1
    int number;         // nudge, set: the how-many-th number of the line, from 0
    double by;          // nudge: added to it; set: its new value
    int named;          // the line the report names, in the altered program
};

const Alteration ALTERATIONS[] = {
    // ---- Coordinates of strokes, moves, commands and laser blocks.
    {"punch_7000", "stroke X", Change::nudge, 7, 0, 0.05, 7},
    {"punch_7000", "stroke Y", Change::nudge, 9, 0, 0.05, 9},
    {"punch_7000", "stroke Y, decimals", Change::nudge, 17, 0, -0.05, 17},
    {"punch_7000", "positioning Y", Change::nudge, 16, 1, 0.05, 16},
    {"punch_7000", "index return X", Change::nudge, 13, 0, 0.05, 13},
    {"punch_7000", "park X", Change::nudge, 18, 0, 0.05, 18},
    {"punch_7000", "unload Y", Change::nudge, 19, 0, 0.05, 19},
    {"punch_bracket_7001", "row pitch", Change::nudge, 11, 0, 0.05, 11},
    {"punch_bracket_7001", "row direction", Change::nudge, 11, 1, 0.05, 11},
    {"punch_bracket_7001", "bolt-hole radius", Change::nudge, 13, 0, 0.05, 13},
    {"punch_bracket_7001", "bolt-hole centre", Change::nudge, 12, 1, 0.05, 13},
    {"punch_bracket_7001", "nibbled line length", Change::nudge, 21, 0, 0.05, 21},
    {"punch_bracket_7001", "nibbled circle radius", Change::nudge, 24, 0, 0.05, 24},
    {"punch_bracket_7001", "nibbling step beyond the job's", Change::nudge, 24, 4, 0.05, 24},
    {"punch_bracket_7001", "material block size", Change::nudge, 3, 2, 0.05, 3},
    {"laser_closed_contour", "laser start", Change::nudge, 11, 0, 0.05, 11},
    {"laser_closed_contour", "laser line", Change::nudge, 13, 0, 0.05, 13},
    {"laser_closed_contour", "laser arc end", Change::nudge, 14, 1, 0.05, 14},
    {"laser_closed_contour", "laser feed", Change::nudge, 13, 1, 1.0, 13},
    {"laser_circles_and_arcs", "laser circle centre", Change::nudge, 12, 0, 0.05, 12},
    {"laser_circles_and_arcs", "laser arc radius", Change::nudge, 19, 2, 0.05, 19},
    {"patterns_hits_top", "relative word in a definition", Change::nudge, 7, 0, 0.05, 7},
    {"patterns_nibbling_top", "MOV/ in a definition", Change::nudge, 9, 0, 0.05, 11},
    {"sheet_reposition_command", "re-grip distance", Change::nudge, 9, 0, 0.05, 9},
    {"sheet_reposition_explicit", "clamps' travel back", Change::nudge, 10, 0, 0.05, 8},
    {"sheet_reposition_explicit", "clamps' travel off the sheet", Change::nudge, 9, 0, 0.05, 8},
    {"sheet_events_7001", "trap door", Change::nudge, 12, 0, 0.05, 12},
    {"sheet_events_7001", "dwell", Change::nudge, 15, 0, 0.05, 15},
    {"punch_rows_nibbling_inch", "stroke X in inches", Change::nudge, 6, 0, 0.002, 6},
    {"punch_rows_nibbling_inch", "row pitch in inches", Change::nudge, 7, 0, 0.002, 7},
    {"punch_rows_nibbling_inch", "bolt-hole radius in inches", Change::nudge, 17, 0, 0.002, 17},
    // ---- A pattern call's position.
    {"patterns_hits_top", "call's positioning", Change::nudge, 12, 0, 0.05, 13},  // its copy lands off
    {"patterns_hits_top", "repeat's offset", Change::nudge, 15, 1, 0.05, 16},
    {"patterns_hits_offset", "call's offset", Change::nudge, 8, 1, 0.05, 9},
    {"patterns_hits_offset", "repeat's pitch", Change::nudge, 17, 3, 0.05, 17},
    // ---- T and C words.
    {"punch_7000", "T word of a stroke", Change::set, 8, 2, 5, 8},
    {"punch_7000", "C word of a stroke", Change::set, 12, 1, 30, 12},
    {"punch_bracket_7001", "C word of a stroke", Change::set, 32, 3, 0, 32},
    {"patterns_hits_top", "T word of a call", Change::set, 12, 2, 1, 13},  // the copy punches with it
    {"punch_rows_nibbling_inch", "T word before nibbling", Change::set, 10, 0, 2, 13},
    // ---- Blocks deleted.
    {"punch_7000", "a stroke", Change::remove, 7, 0, 0, 7},
    {"punch_7000", "a tool change", Change::remove, 11, 0, 0, 11},
    {"punch_bracket_7001", "a row", Change::remove, 11, 0, 0, 12},
    {"punch_bracket_7001", "NBL/", Change::remove, 20, 0, 0, 20},
    {"laser_closed_contour", "the end of the cut", Change::remove, 20, 0, 0, 21},
    {"laser_closed_contour", "a LASER.PAR line", Change::remove, 6, 0, 0, 6},
    {"patterns_hits_top", "a call", Change::remove, 13, 0, 0, 12},  // a positioning without its copy
    {"patterns_hits_top", "the offset cancel", Change::remove, 17, 0, 0, 17},
    {"sheet_events_7001", "a stop", Change::remove, 10, 0, 0, 11},
    {"sheet_reposition_command", "a re-grip", Change::remove, 9, 0, 0, 9},
    {"punch_7001", "forming mode", Change::remove, 9, 0, 0, 9},
    // ---- Blocks doubled.
    {"punch_7000", "a stroke", Change::twice, 7, 0, 0, 8},
    {"punch_7000", "an indexed stroke", Change::twice, 12, 0, 0, 13},
    {"punch_bracket_7001", "a row", Change::twice, 11, 0, 0, 12},
    {"patterns_hits_top", "a call", Change::twice, 13, 0, 0, 14},
    {"laser_closed_contour", "a laser line", Change::twice, 13, 0, 0, 14},
    {"laser_closed_contour", "a LASER.PAR line", Change::twice, 7, 0, 0, 8},
    {"sheet_events_7001", "a dwell", Change::twice, 15, 0, 0, 16},
    // ---- Blocks swapped with the next.
    {"punch_7000", "two strokes", Change::swap, 7, 0, 0, 7},
    {"punch_bracket_7001", "a row and a MOV/", Change::swap, 11, 0, 0, 12},
    {"patterns_hits_top", "a positioning and its call", Change::swap, 12, 0, 0, 12},
    {"laser_closed_contour", "two laser lines", Change::swap, 16, 0, 0, 16},
    {"punch_7000", "park and unload", Change::swap, 18, 0, 0, 18},
};

// Alterations of a line's text: a word or a comment changed, a line end
// made a line feed alone, text after the end.  Each changes what the machine
// or the operator does.
struct TextAlteration {
    const char *golden;
    const char *what;
    int line;           // the line altered, counted from 1
    const char *from;   // its text, as the golden program has it
    const char *to;     // the new text; "\n" ends the line with a line feed alone
    int named;          // the line the report names, in the altered program
};

const TextAlteration TEXT_ALTERATIONS[] = {
    // ---- The frame.
    {"punch_7000", "ISO start made EIA", 1, "% ", "+ ", 1},
    {"punch_7000", "program number", 2, "O0001", "O0002", 2},
    {"punch_7000", "rewind deleted", 20, "M30", "", 20},
    {"punch_7000", "a line ended by a line feed alone", 7, "X150", "X150\n", 7},
    {"punch_7000", "text after the end", 21, "%", "%\n", 21},
    {"patterns_hits_top", "a definition's first line ended by a line feed alone", 6, "PAT03/", "PAT03/\n", 6},
    {"patterns_hits_top", "a definition's last line ended by a line feed alone", 10, "END03", "END03\n", 10},
    {"sheet_flip_turn", "laser work M20 deleted", 6, "M20", "", 6},
    // ---- The header's comments and the operator's texts.
    {"punch_7000", "sheet comment", 4, "(SHEET - 2 X 2500 Y 1250)", "(SHEET - 3 X 2500 Y 1250)", 4},
    {"punch_7000", "clamp comment", 5, "(CLAMP 1 300 CLAMP 2 1000 )", "(CLAMP 1 310 CLAMP 2 1000 )", 5},
    {"sheet_flip_turn", "turn the other way", 17, "(TURN THE SHEET 90 DEGREES CLOCKWISE AND RESTART)",
     "(TURN THE SHEET 90 DEGREES COUNTERCLOCKWISE AND RESTART)", 17},
    {"sheet_flip_turn", "flip note deleted", 11, "(FLIP THE SHEET AND RESTART)", "", 11},
    {"sheet_events_7001", "free comment", 13, "(OPERATOR CHECK)", "(OPERATOR OK)", 13},
    // ---- The index and the tool's modes.
    {"punch_7000", "index return dropped", 10, "X300Y250C0M03", "X300Y250M03", 11},
    {"punch_7001", "forming mode off deleted", 11, "M09", "", 12},
    {"punch_7001", "another M61x mode", 12, "M613", "M611", 13},
    // ---- The laser head, technology and junctions.
    {"laser_closed_contour", "head up deleted", 21, "M23", "", 21},
    {"laser_closed_contour", "head up made a junction word", 21, "M23", "M21", 22},
    {"laser_closed_contour", "head mode", 8, "M121", "M122", 11},
    {"laser_closed_contour", "S value", 10, "M27S450", "M27S451", 11},
    {"laser_closed_contour", "junction words swapped", 12, "M21", "M22", 13},
    {"laser_closed_contour", "a LASER.PAR line changed", 7, "LGAS/O2 P0.6", "LGAS/O2 P0.7", 7},
};

std::vector<std::string> lines_of(const std::string &program) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at <= program.size()) {
        const std::size_t end = program.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(program.substr(at));
            break;
        }
        lines.push_back(program.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

std::string joined(const std::vector<std::string> &lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += lines[i] + (i + 1 < lines.size() ? "\r\n" : "");
    return text;
}

// The line with its number-th number (digits, with a sign and decimals)
// changed.
std::string with_number(const std::string &line, int number, bool add, double value) {
    std::size_t at = 0;
    int seen = 0;
    while (at < line.size()) {
        const bool starts = std::isdigit(static_cast<unsigned char>(line[at])) ||
                            (line[at] == '-' && at + 1 < line.size() && std::isdigit(static_cast<unsigned char>(line[at + 1])));
        if (!starts) {
            ++at;
            continue;
        }
        std::size_t end = at + 1;
        while (end < line.size() && (std::isdigit(static_cast<unsigned char>(line[end])) || line[end] == '.')) ++end;
        if (seen++ == number) {
            const double old = std::stod(line.substr(at, end - at));
            char text[32];
            std::snprintf(text, sizeof text, "%.4f", add ? old + value : value);
            std::string number_text = text;
            while (number_text.back() == '0') number_text.pop_back();
            if (number_text.back() == '.') number_text.pop_back();
            return line.substr(0, at) + number_text + line.substr(end);
        }
        at = end;
    }
    ADD_FAILURE() << "no number " << number << " in " << line;
    return line;
}

std::string altered(const std::string &program, const Alteration &a) {
    std::vector<std::string> lines = lines_of(program);
    const std::size_t i = static_cast<std::size_t>(a.line - 1);
    switch (a.change) {
    case Change::nudge: lines[i] = with_number(lines[i], a.number, true, a.by); break;
    case Change::set: lines[i] = with_number(lines[i], a.number, false, a.by); break;
    case Change::remove: lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i)); break;
    case Change::twice: lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), lines[i]); break;
    case Change::swap: std::swap(lines[i], lines[i + 1]); break;
    }
    return joined(lines);
}

// "line 7: ...", "line 7 (written for ...)", "(before line 7)", "line 7, in the copy ..."
bool names_line(const std::string &message, int line) {
    const std::string word = "line " + std::to_string(line);
    for (std::size_t at = message.find(word); at != std::string::npos; at = message.find(word, at + 1)) {
        const std::size_t after = at + word.size();
        if (after == message.size() || !std::isdigit(static_cast<unsigned char>(message[after]))) return true;
    }
    return false;
}

class VerifyAlterations : public HostTest {};

TEST_F(VerifyAlterations, EveryAlterationIsCaughtWithItsLineNamed) {
    for (const Alteration &a : ALTERATIONS) {
        std::ostringstream name;
        name << a.golden << ": " << a.what << " at line " << a.line;
        SCOPED_TRACE(name.str());
        const std::string folder = source_path("tests/golden/") + a.golden;
        const job::Job job = job::read_job_file(folder + "/job.json");
        const std::string program = read_file(folder + "/expected.nc");
        ASSERT_EQ(check_program(job, program).differences, 0) << "the golden program itself must verify";
        const std::string changed = altered(program, a);
        try {
            const verify::ComparisonResult r = check_program(job, changed);
            ASSERT_GT(r.differences, 0) << "not caught";
            EXPECT_TRUE(names_line(r.messages.front(), a.named)) << r.messages.front();
        } catch (const nc::ProgramError &e) {
            EXPECT_EQ(e.line(), a.named) << e.what();
        }
    }
}

TEST_F(VerifyAlterations, EveryChangeOfTheMachinesOrTheOperatorsWordsIsCaught) {
    for (const TextAlteration &a : TEXT_ALTERATIONS) {
        SCOPED_TRACE(std::string(a.golden) + ": " + a.what + " at line " + std::to_string(a.line));
        const std::string folder = source_path("tests/golden/") + a.golden;
        const job::Job job = job::read_job_file(folder + "/job.json");
        std::vector<std::string> lines = lines_of(read_file(folder + "/expected.nc"));
        ASSERT_EQ(lines[static_cast<std::size_t>(a.line - 1)], a.from);
        std::string changed;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string text = i + 1 == static_cast<std::size_t>(a.line) ? a.to : lines[i];
            if (i + 1 == static_cast<std::size_t>(a.line) && text.empty()) continue;  // deleted
            changed += text;
            if (i + 1 < lines.size() && (text.empty() || text.back() != '\n')) changed += "\r\n";
        }
        try {
            const verify::ComparisonResult r = check_program(job, changed);
            ASSERT_GT(r.differences, 0) << "not caught";
            EXPECT_TRUE(names_line(r.messages.front(), a.named)) << r.messages.front();
        } catch (const nc::ProgramError &e) {
            EXPECT_EQ(e.line(), a.named) << e.what();
        }
    }
}

TEST_F(VerifyAlterations, AJobChangedAfterPostingNoLongerMatchesItsProgram) {
    const std::string folder = source_path("tests/golden/punch_7000");
    const std::string program = read_file(folder + "/expected.nc");
    job::Job job = job::read_job_file(folder + "/job.json");
    ASSERT_EQ(check_program(job, program).differences, 0);
    std::get<job::Hit>(job.work[1]).x += 1.0;  // a hit moved by 1 mm
    const verify::ComparisonResult r = check_program(job, program);
    EXPECT_EQ(r.differences, 1);
    ASSERT_FALSE(r.messages.empty());
    EXPECT_EQ(r.messages.front(), "line 7: stroke at X150 Y100 T1; the job's work[1] (hit): stroke at X151 Y100 T1");
}

}  // namespace

// The control skips an empty line wherever it stands, also where one block
// must follow another: NBL/ and its command, M55 and its M56, M41 ... M42, an
// operator's comment and its M00.
TEST_F(VerifyAlterations, EmptyLinesBetweenAnyTwoLinesChangeNothing) {
    for (const char *golden : {"punch_rows_nibbling_inch", "punch_bracket_7001", "sheet_events_7001",
                               "sheet_reposition_explicit", "sheet_flip_turn", "patterns_nibbling_top"}) {
        SCOPED_TRACE(golden);
        const std::string folder = source_path("tests/golden/") + golden;
        const job::Job job = job::read_job_file(folder + "/job.json");
        const std::vector<std::string> lines = lines_of(read_file(folder + "/expected.nc"));
        std::string spaced;
        for (std::size_t i = 0; i < lines.size(); ++i) spaced += lines[i] + (i + 1 < lines.size() ? "\r\n\r\n" : "");
        try {
            const verify::ComparisonResult r = check_program(job, spaced);
            EXPECT_EQ(r.differences, 0) << (r.messages.empty() ? "" : r.messages.front());
        } catch (const nc::ProgramError &e) {
            ADD_FAILURE() << e.what();
        }
    }
}

// A row of ten million strokes added by hand: every stroke is a difference,
// counted; only the first are told in full (formatting each took 44 s).
TEST_F(VerifyAlterations, TenMillionExtraStrokesAreCountedNotEachTold) {
    const std::string folder = source_path("tests/golden/punch_7000");
    const job::Job job = job::read_job_file(folder + "/job.json");
    std::vector<std::string> lines = lines_of(read_file(folder + "/expected.nc"));
    ASSERT_EQ(lines[6], "X150");
    lines.insert(lines.begin() + 7, "LAA/1 0 10000000");  // line 8
    const verify::ComparisonResult r = check_program(job, joined(lines));
    EXPECT_GE(r.differences, 10000000);
    ASSERT_FALSE(r.messages.empty());
    EXPECT_LE(r.messages.size(), 20u);
    EXPECT_TRUE(names_line(r.messages.front(), 8)) << r.messages.front();
}
