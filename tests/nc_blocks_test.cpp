// The dialect's blocks as the reader types them, and the lines it refuses,
// each named.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "nc/block_parser.h"
#include "nc/block_reader.h"
#include "nc/program_error.h"

namespace {

using nc::Block;
using nc::BlockKind;

// A block in short: its kind and what it holds.
std::string summary(const Block &b) {
    static const char *const KINDS[] = {"empty", "start", "end", "program_number", "comment", "material", "words",
                                        "position", "nibble_on", "nibble_line", "nibble_arc", "bolt_hole_circle",
                                        "row", "laser_circle", "laser_arc", "laser_end", "offset", "pattern_begin",
                                        "pattern_end", "pattern_call", "pattern_repeat", "reposition", "frame",
                                        "dwell", "parameter", "user_text"};
    std::string s = KINDS[static_cast<int>(b.kind)];
    char part[64];
    auto add = [&](const char *format, auto value) {
        std::snprintf(part, sizeof part, format, value);
        s += part;
    };
    if (b.compensation == nc::Compensation::left) s += " LAL";
    if (b.compensation == nc::Compensation::right) s += " LAR";
    if (b.words & nc::WORD_X) add(b.incremental ? " DX%g" : " X%g", b.x);
    if (b.words & nc::WORD_Y) add(b.incremental ? " DY%g" : " Y%g", b.y);
    if (b.words & nc::WORD_T) add(" T%d", b.t);
    if (b.words & nc::WORD_C) add(" C%g", b.c);
    if (b.words & nc::WORD_F) add(" F%g", b.f);
    if (b.words & nc::WORD_M) add(" M%d", b.m);
    if (b.words & nc::WORD_S) add(" S%lld", b.s);
    switch (b.kind) {
    case BlockKind::material:
    case BlockKind::nibble_line:
    case BlockKind::nibble_arc:
    case BlockKind::bolt_hole_circle:
    case BlockKind::row:
    case BlockKind::laser_circle:
    case BlockKind::laser_arc:
    case BlockKind::reposition:
    case BlockKind::frame:
    case BlockKind::dwell:
        for (double v : b.values) add(" %g", v);
        add(" n%lld", b.count);
        break;
    case BlockKind::offset: add(" %g", b.x), add(",%g", b.y); break;
    case BlockKind::pattern_repeat:
        add(" #%d", b.pattern);
        for (int i = 0; i < b.part_count; ++i) {
            add(" %c", b.parts[i].axis);
            add("%+d", b.parts[i].sign);
            add("*%g", b.parts[i].pitch);
            add("x%lld", b.parts[i].count);
        }
        break;
    case BlockKind::pattern_begin:
    case BlockKind::pattern_end:
    case BlockKind::pattern_call: add(" #%d", b.pattern); break;
    case BlockKind::parameter:
    case BlockKind::user_text: add(" @%d", b.parameter); break;
    default: break;
    }
    if (b.kind == BlockKind::laser_arc) s += b.left ? " L" : " R";
    return s;
}

nc::KnownTexts known() {
    nc::KnownTexts k;
    k.parameter_lines = {{"LPAR/P1500F2000", 0}, {"LGAS/O2 P0.6", 1}};
    k.user_texts = {{"G90 OPERATOR", 0}};
    return k;
}

TEST(NcBlocks, EveryBlockTheModuleWritesHasItsType) {
    const nc::KnownTexts k = known();
    const struct {
        const char *text;
        const char *summary;
    } cases[] = {
        {"", "empty"},
        {"O0012", "program_number"},
        {"(SHEET - 2 X 2500 Y 1250)", "comment"},
        {"(A)B)", "comment"},
        {"MAT/B3 H2 X2500 Y1250", "material 2 2500 1250 0 0 n3"},
        {"X100Y100T1", "words X100 Y100 T1"},
        {"X150", "words X150"},
        {"Y520.5", "words Y520.5"},
        {"X300Y200T3C90", "words X300 Y200 T3 C90"},
        {"X300Y250C0M03", "words X300 Y250 C0 M3"},
        {"X600T1M03", "words X600 T1 M3"},
        {"X1500Y625M05", "words X1500 Y625 M5"},
        {"Y650M40", "words Y650 M40"},
        {"X150Y125M56", "words X150 Y125 M56"},
        {"T1", "words T1"},
        {"T2C45", "words T2 C45"},
        {"C-30", "words C-30"},
        {"DX10DY10C90", "words DX10 DY10 C90"},
        {"DY-50", "words DY-50"},
        {"M610", "words M610"},
        {"M08", "words M8"},
        {"M27S450", "words M27 S450"},
        {"M121", "words M121"},
        {"X5Y0.394T4C45", "words X5 Y0.394 T4 C45"},
        {"LAL/X100Y100F2500", "words LAL X100 Y100 F2500"},
        {"LAR/DX0DY0F98.425", "words LAR DX0 DY0 F98.425"},
        {"X300F2500", "words X300 F2500"},
        {"MOV/X600Y100", "position X600 Y100"},
        {"MOV/DX-20DY20", "position DX-20 DY20"},
        {"NBL/", "nibble_on"},
        {"CAA/Z 100 10 0 5", "nibble_line 100 10 0 5 0 n0"},
        {"RAD/I 25 10 90 -360 4 C45", "nibble_arc C45 25 10 90 -360 4 n0"},
        {"RAD/I 35 10 0 90 6 ", "nibble_arc 35 10 0 90 6 n0"},
        {"ARC/50 0 60 6 ", "bolt_hole_circle 50 0 60 0 0 n6"},
        {"ARC/2 45 -90 4 C30", "bolt_hole_circle C30 2 45 -90 0 0 n4"},
        {"LAA/5 90 9", "row 5 90 0 0 0 n9"},
        {"CIR/210 200 -360F2500", "laser_circle F2500 210 200 -360 0 0 n0"},
        {"LCI/L 510 130 -10F2500", "laser_arc F2500 510 130 -10 0 0 n0 L"},
        {"LCI/R 1 2 3F4", "laser_arc F4 1 2 3 0 0 n0 R"},
        {"LED/DX0DY0", "laser_end"},
        {"OFS/X520Y300", "offset 520,300"},
        {"OFS/X0Y0", "offset 0,0"},
        {"PAT03/", "pattern_begin #3"},
        {"PAT100/", "pattern_begin #100"},
        {"END03", "pattern_end #3"},
        {"PAT03", "pattern_call #3"},
        {"MGR/03 L 20 4", "pattern_repeat #3 X-1*20x4"},
        {"MGR/03 R 100 3 U 50 3", "pattern_repeat #3 X+1*100x3 Y+1*50x3"},
        {"MGR/01 D 1.969 2", "pattern_repeat #1 Y-1*1.969x2"},
        {"REP/DX1000", "reposition 1000 0 0 0 0 n0"},
        {"FRM/X1500", "frame 1500 0 0 0 0 n0"},
        {"DWL/X 1.5", "dwell 1.5 0 0 0 0 n0"},
        {"LGAS/O2 P0.6", "parameter @1"},
        {"G90 OPERATOR", "user_text @0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(summary(nc::parse_block(c.text, 7, false, k)), c.summary);
    }
}

TEST(NcBlocks, BlocksTheControlDoesNotKnowAreRefusedWithTheLine) {
    const nc::KnownTexts k = known();
    const struct {
        const char *text;
        const char *says;
    } cases[] = {
        {"G90", "is no word of this control"},
        {"X10Z5", "is no word of this control"},
        {"Y10X5", "X is out of place"},
        {"X10X20", "X is out of place"},
        {"C90T3", "T is out of place"},
        {"X10DY5", "absolute and incremental words in one block"},
        {"X1.", "a number must follow X"},
        {"X-", "a number must follow X"},
        {"X1e3", "is no word of this control"},
        {"T0", "T0 is no station"},
        {"M47", "M47 is no word of this control"},
        {"M27", "M27 needs its S value"},
        {"M03", "coordinates must come first"},
        {"X10M08", "M8 stands in a block of its own"},
        {"X10S5", "S stands only behind"},
        {"X10T2F100", "F stands only with coordinates"},
        {"LAL/T3", "is out of place in this block"},
        {"(OPEN", "a comment without its closing"},
        {"%X", "\"%\" ends the program and stands alone"},
        {"CAA/Z 100 10 0", "a blank must come before the step"},
        {"CAA/Z 100 10 0 5 6", "is out of place here"},
        {"ARC/50 0 60", "a blank must come before the number of holes"},
        {"LAA/5 90 x", "a whole number must follow"},
        {"CIR/210 200 -360", "CIR/ needs its feed F"},
        {"CIR/210 200 180F1", "CIR/ turns by 360 or -360"},
        {"LCI/X 1 2 3F4", "LCI/ needs its sense"},
        {"LCI/L 1 2 0F4", "an arc of radius 0"},
        {"OFS/X10", "OFS/ needs X and Y"},
        {"MGR/03", "MGR/ needs a direction"},
        {"MGR/03 Q 20 4", "a repeat goes L, R, D or U"},
        {"MGR/03 U 20 4 R 10 4", "X (L, R) comes first"},
        {"MGR/03 R 20 4 U 10 5", "the same number of copies"},
        {"MGR/03 R -20 4", "the pitch of a repeat has no sign"},
        {"MGR/03 R 20 0", "at least one copy"},
        {"PAT99999999999", "no pattern of the control"},
        {"DWL/X1.5", "a blank must come before the dwell time"},
        {"LPAR/P1500F2001", "is no word of this control"},
        {"X1\tY2", "\\x09"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        try {
            nc::parse_block(c.text, 12, false, k);
            ADD_FAILURE() << "taken";
        } catch (const nc::ProgramError &e) {
            EXPECT_EQ(e.line(), 12);
            EXPECT_EQ(std::string(e.what()).rfind("line 12: ", 0), 0u) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
}

// The frame of a program as it comes, piece by piece.
TEST(NcBlocks, AProgramIsReadWholeOrRefusedAtItsLine) {
    const struct {
        std::string text;
        const char *says;  // nullptr: taken
    } cases[] = {
        {"% \r\nX1Y1T1\r\n%", nullptr},
        {"+ \r\nX1Y1T1\r\n%", nullptr},
        {"% \nX1Y1T1\n%\n", nullptr},  // line feeds alone, and one after "%"
        {"", "line 1: the program is empty"},
        {"X1Y1T1\r\n%", "line 1: "},
        {"% \r\nX1Y1T1\r\n", "line 2: the program stops without its closing \"%\""},
        {"% \r\nX1Y1T1", "line 2: the program stops without its closing"},
        {"% \r\n%\r\nX1", "line 3: text after the program's end"},
        {"% \r\n+ \r\n%", "line 2: "},
        {"% \r\n" + std::string(nc::MAX_LINE_LENGTH + 1, 'X') + "\r\n%", "line 2: a line longer than"},
    };
    const nc::KnownTexts k;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        nc::TextSource source(c.text);
        nc::BlockReader reader(source, k);
        try {
            nc::Block b;
            long long blocks = 0;
            while (reader.next(b)) ++blocks;
            EXPECT_EQ(c.says, nullptr) << "taken";
            EXPECT_EQ(blocks, 3);
        } catch (const nc::ProgramError &e) {
            ASSERT_NE(c.says, nullptr) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind(c.says, 0), 0u) << e.what();
        }
    }
}

}  // namespace
