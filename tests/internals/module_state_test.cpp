// Module state that only later hooks set (a forced index at a pattern header,
// a pattern offset in force), and what the routines do with it.
#include <string>

#include "plugin/pattern_offset.h"
#include "tests/internals/internals_fixture.h"

namespace {

class ModuleStateTest : public InternalsTest {};

TEST_F(ModuleStateTest, ForcedIndexWritesTheFirstIndexableWordOnce) {
    c_nc_tool_a = 90;
    pelk::index_forced = 1;

    pp_index(0, 0, 0, 90);  // not indexable: nothing, and the force waits
    EXPECT_EQ(std::string(c_nc_buff), "");
    EXPECT_EQ(pelk::index_forced, 1);

    pp_index(0, 0, 1, 90);  // unchanged angle, written all the same
    EXPECT_EQ(std::string(c_nc_buff), "C90");
    EXPECT_EQ(pelk::index_forced, 0);

    pp_index(0, 0, 1, 90);
    EXPECT_EQ(std::string(c_nc_buff), "C90");
}

TEST_F(ModuleStateTest, ProgramStartClearsAForcedIndex) {
    pelk::index_forced = 1;
    start_new_program();
    EXPECT_EQ(pelk::index_forced, 0);
    EXPECT_EQ(pelk::laser_head_mode, -1);
    EXPECT_EQ(pelk::m21_m22_state, -1);
}

TEST_F(ModuleStateTest, OffsetCancelIsWrittenOnceOutsidePatternBodies) {
    pelk::cancel_pattern_offset();  // no offset in force: untouched
    EXPECT_EQ(output(), "");
    EXPECT_EQ(c_nc_block, 0);

    pelk::offset_active = 1;
    c_nc_in_sub = 1;
    pelk::cancel_pattern_offset();  // inside a pattern body the offset stays
    EXPECT_EQ(output(), "");
    EXPECT_EQ(pelk::offset_active, 1);

    c_nc_in_sub = 0;
    c_mch_units = 1;
    c_nc_absolute = 0;
    c_line_number_inc = 10;
    pelk::cancel_pattern_offset();  // fixed text whatever the units and mode
    EXPECT_EQ(output(), crlf("OFS/X0Y0\n"));
    EXPECT_EQ(pelk::offset_active, 0);
    EXPECT_EQ(c_nc_block, 10);      // the next block begun

    pelk::cancel_pattern_offset();
    EXPECT_EQ(output(), crlf("OFS/X0Y0\n"));
}

TEST_F(ModuleStateTest, HitCancelsTheOffsetInTheSameFlush) {
    job::Job job;
    job.turret = {{5, 2, "", false, false}};
    host::apply_job(job);
    pelk::offset_active = 1;
    EXPECT_EQ(pp_hit(10, 20, 5, 0, 0.0, 0, 0), 0);
    EXPECT_EQ(writer.pieces(), std::vector<std::string>{crlf("OFS/X0Y0\nX10Y20T2\n")});
    EXPECT_EQ(pp_hit(30, 20, 5, 0, 0.0, 0, 0), 0);
    EXPECT_EQ(writer.pieces().back(), crlf("X30\n"));
}

}  // namespace
