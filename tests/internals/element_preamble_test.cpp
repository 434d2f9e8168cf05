// The element preamble that opens the nibbling and bolt-hole hooks, and
// prepare_tool_change, called directly.
#include <cstring>
#include <string>
#include <vector>

#include "plugin/nc_text.h"
#include "punch/tool_change.h"
#include "tests/internals/internals_fixture.h"
#include "tests/punch_fixture.h"

namespace {

class ElementPreambleTest : public PunchFixture<InternalsTest> {
protected:
    // An element record of the host with the fields the preamble reads.
    void set_element(int tool, int indexable) {
        std::memset(el, 0, sizeof el);
        pelk::record_put_int(el, EL_TOOL_AT, tool);
        pelk::record_put_int(el, EL_INDEXABLE_AT, indexable);
    }

    char el[EL_RECORD_SIZE];
};

TEST_F(ElementPreambleTest, NewStationWritesAndFlushesTheToolAndIndexBlock) {
    use_turret(7001, {{4, 2, "FR2"}});
    c_nc_tool = 1;
    c_nc_tool_a = 10.0;
    c_nc_x = 5.0;
    c_nc_y = 6.0;
    set_element(4, 1);
    EXPECT_EQ(pelk::Flow::go_on, pelk::element_preamble(el, 45.0 * DEG));
    ASSERT_EQ(writer.pieces().size(), 1u);
    EXPECT_EQ(writer.text(), crlf("X5Y6C0M03\nM08\nM613\nT2C45\n"));
    EXPECT_EQ(c_nc_buff, std::string());
    EXPECT_EQ(c_nc_tool, 2);
    EXPECT_EQ(pelk::last_m61x, 2);
}

TEST_F(ElementPreambleTest, SameStationAndAngleWriteNothing) {
    use_turret(7000, {{4, 2, ""}});
    c_nc_tool = 2;
    c_nc_tool_a = 45.0;
    set_element(4, 1);
    EXPECT_EQ(pelk::Flow::go_on, pelk::element_preamble(el, 45.0 * DEG));
    EXPECT_EQ(output(), "");
    EXPECT_EQ(writer.flushes(), 0);
}

TEST_F(ElementPreambleTest, TurnedAngleWritesTheIndexBlockOnlyForIndexableTools) {
    use_turret(7000, {{4, 2, ""}});
    c_nc_tool = 2;
    c_nc_tool_a = 45.0;
    set_element(4, 0);
    EXPECT_EQ(pelk::Flow::go_on, pelk::element_preamble(el, 90.0 * DEG));
    EXPECT_EQ(writer.flushes(), 0);

    set_element(4, 1);
    EXPECT_EQ(pelk::Flow::go_on, pelk::element_preamble(el, 90.0 * DEG));
    EXPECT_EQ(writer.text(), crlf("C90\n"));
}

TEST_F(ElementPreambleTest, AngleBelowTheIndexToleranceStillEndsAnEmptyBlock) {
    use_turret(7000, {{4, 2, ""}});
    c_nc_tool = 2;
    c_nc_tool_a = 45.0;
    set_element(4, 1);
    EXPECT_EQ(pelk::Flow::go_on, pelk::element_preamble(el, (45.0 + 0.001) * DEG));
    EXPECT_EQ(writer.text(), crlf("\n"));
    EXPECT_DOUBLE_EQ(c_nc_tool_a, 45.0);
}

TEST_F(ElementPreambleTest, RefusedFlushAnswersStop) {
    use_turret(7000, {{4, 2, ""}});
    writer.refuse_from(1);
    set_element(4, 1);
    EXPECT_EQ(pelk::Flow::stop, pelk::element_preamble(el, 0.0));
    EXPECT_EQ(writer.text(), "");
}

TEST_F(ElementPreambleTest, LaserHeadIsLiftedFirst) {
    use_turret(7000, {{4, 2, ""}});
    c_nc_laser_head_down = 1;
    set_element(4, 0);
    EXPECT_EQ(pelk::Flow::go_on, pelk::element_preamble(el, 0.0));
    EXPECT_EQ(writer.text(), crlf("M23\nT2\n"));
    EXPECT_EQ(c_nc_laser_head_down, 0);
}

TEST_F(ElementPreambleTest, EmptyStationTableLeavesOnlyTheOffBlocks) {
    use_turret(7001, {});
    c_last_form_flag = 1;
    pelk::last_m61x = 3;
    pelk::prepare_tool_change(5);
    EXPECT_EQ(output(), crlf("M09\nM610\n"));
    EXPECT_EQ(c_last_form_flag, 0);
    EXPECT_EQ(pelk::last_m61x, 0);

    pelk::prepare_tool_change(6);
    EXPECT_EQ(output(), crlf("M09\nM610\n"));
}

TEST_F(ElementPreambleTest, PrepareToolChangeNeverFlushesAndIgnoresStationsBelowOne) {
    use_turret(7002, {{1, 1, "F"}});
    c_nc_tool_a = 30.0;
    c_last_form_flag = 1;
    pelk::prepare_tool_change(0);
    pelk::prepare_tool_change(-1);
    EXPECT_EQ(output(), "");
    pelk::prepare_tool_change(1);
    EXPECT_EQ(output(), crlf("X0Y0C0M03\nM08\n"));
    EXPECT_EQ(writer.flushes(), 0);
    EXPECT_TRUE(host::messages().empty());
}

}  // namespace
