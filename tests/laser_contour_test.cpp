// Laser contours driven through the contour hooks: start sequence, cutting
// blocks of lines, arcs and full circles, junction words, and the stop path.
#include <functional>
#include <string>
#include <vector>

#include "tests/laser_fixture.h"

namespace {

class LaserContourTest : public LaserTest {
protected:
    void SetUp() override {
        LaserTest::SetUp();
        with_laser_par();
        start_program();
    }

    using Element = std::function<int()>;

    Element line(double x1, double y1, double x2, double y2, int off_type = 0) {
        return [=] { return pp_laser_line(x1, y1, x2, y2, ContourRecord(off_type).co()); };
    }
    Element arc(double xs, double ys, double xe, double ye, double xc, double yc, int dir,
                int off_type = 0) {
        return [=] { return pp_laser_arc(xs, ys, xe, ye, xc, yc, dir, ContourRecord(off_type).co()); };
    }

    // Runs the elements in order, as the host does, up to the first stop.
    int run(const std::vector<Element> &elements) {
        for (const Element &e : elements) {
            if (e() != 0) return 1;
        }
        return 0;
    }

    // A closed contour: line, tangent quarter arc, tangent line, two corners.
    std::vector<Element> closed_contour() {
        return {line(10, 0, 50, 0), arc(50, 0, 60, 10, 50, 10, 1), line(60, 10, 60, 40),
                line(60, 40, 10, 40), line(10, 40, 10, 0, 2)};
    }
};

TEST_F(LaserContourTest, ClosedContourWithSmoothAndCorneredJunctions) {
    ASSERT_EQ(run(closed_contour()), 0);
    EXPECT_EQ(output(), crlf("PAR1\nPAR2\nM121\nM72\nM27S450\nX10Y0F250\n"
                             "M21\nX50F250\nLCI/L 60 10 10F250\n"
                             "M22\nY40F250\nX10F250\nY0F250\n"
                             "M21\nLED/DX0DY0\nM23\n"));
    EXPECT_DOUBLE_EQ(c_nc_x, 10);
    EXPECT_DOUBLE_EQ(c_nc_y, 0);
    EXPECT_EQ(c_nc_laser_on, 0);
}

TEST_F(LaserContourTest, ContinuingElementWritesNoStartSequence) {
    ASSERT_EQ(run({line(10, 0, 50, 0)}), 0);
    const std::size_t before = output().size();
    ASSERT_EQ(run({line(50, 0, 50, 30, 1)}), 0);
    EXPECT_EQ(output().substr(before), crlf("M22\nX50F250\nY30F250\nM21\nLED/DX0DY0\n"));
}

TEST_F(LaserContourTest, ArcBlocks) {
    struct Case {
        Element element;
        const char *block;
    };
    const std::vector<Case> cases = {
        // Full circles: centre and a whole turn in the arc's sense.
        {arc(100, 100, 100, 100, 100, 120, 1, 1), "CIR/100 120 360F250"},
        {arc(100, 100, 100, 100, 100, 120, -1, 1), "CIR/100 120 -360F250"},
        {arc(100, 100, 100 + 5e-7, 100, 100, 120, 1, 1), "CIR/100 120 360F250"},
        // A quarter turn, and three quarters the other way round.
        {arc(10, 0, 0, 10, 0, 0, 1, 1), "LCI/L 0 10 10F250"},
        {arc(10, 0, 0, 10, 0, 0, -1, 1), "LCI/R 0 10 -10F250"},
        // Exactly a half turn keeps the radius positive.
        {arc(10, 0, -10, 0, 0, 0, 1, 1), "LCI/L -10 0 10F250"},
        {arc(10, 0, -10, 0, 0, 0, -1, 1), "LCI/R -10 0 10F250"},
        // Just beyond a half turn.
        {arc(10, 0, -10, -0.001, 0, 0, 1, 1), "LCI/L -10 0 -10F250"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.block);
        start_program();
        c_nc_laser_on = 0;
        ASSERT_EQ(c.element(), 0);
        const std::string text = output();
        const std::string tail = crlf(std::string(c.block) + "\nM21\nLED/DX0DY0\n");
        ASSERT_GE(text.size(), tail.size());
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    }
}

TEST_F(LaserContourTest, ArcLeavesThePositionAtItsEnd) {
    ASSERT_EQ(run({arc(10, 0, 0, 10, 0, 0, 1)}), 0);
    EXPECT_DOUBLE_EQ(c_nc_x, 0);
    EXPECT_DOUBLE_EQ(c_nc_y, 10);
    // The next element starting there continues the cut.
    const std::size_t before = output().size();
    ASSERT_EQ(run({line(0, 10, -20, 10, 1)}), 0);
    EXPECT_EQ(output().substr(before), crlf("M21\nLCI/L 0 10 10F250\nX-20F250\nLED/DX0DY0\n"));
}

TEST_F(LaserContourTest, TangencyIsFoundThroughRoundingNoise) {
    ASSERT_EQ(run({line(10, 1e-9, 50, -1e-9), arc(50, -1e-9, 60, 10, 50.000000001, 10, 1),
                   arc(60, 10, 70, 20, 70, 10.000000001, -1), line(70, 20, 90, 20 + 1e-9, 1)}),
              0);
    const std::string text = output();
    EXPECT_EQ(text.find("M22"), std::string::npos) << text;
    EXPECT_NE(text.find(crlf("M21\nX50F250\nLCI/L 60 10 10F250\nLCI/R 70 20 10F250\nX90F250\nLED/DX0DY0\n")),
              std::string::npos)
        << text;
}

TEST_F(LaserContourTest, CornersBetweenArcsAndLines) {
    // Line into an arc at an angle, arc into a line at an angle, two arcs
    // meeting at a corner.
    ASSERT_EQ(run({line(0, 0, 10, 10), arc(10, 10, 20, 0, 10, 0, -1), line(20, 0, 30, 10),
                   arc(30, 10, 40, 20, 40, 10, -1), arc(40, 20, 30, 30, 30, 20, 1, 1)}),
              0);
    const std::string text = output();
    EXPECT_NE(text.find(crlf("X0Y0F250\nM22\nX10Y10F250\nLCI/R 20 0 10F250\nX30Y10F250\nLCI/R 40 20 10F250\nLCI/L 30 30 10F250\nM21\n")),
              std::string::npos)
        << text;
}

TEST_F(LaserContourTest, NextContourReleasesABlockLeftHeld) {
    // The first contour ends with type 0: its last block stays held and goes
    // out behind the next contour's start block, after the junction word.
    ASSERT_EQ(run({line(10, 0, 50, 0)}), 0);
    const std::size_t before = output().size();
    ASSERT_EQ(run({line(100, 0, 100, 50, 1)}), 0);
    EXPECT_EQ(output().substr(before), crlf("X100Y0F250\nM22\nX50F250\nY50F250\nM21\nLED/DX0DY0\n"));
}

TEST_F(LaserContourTest, LaserParSectionOncePerProgram) {
    ASSERT_EQ(run({line(10, 0, 50, 0, 1), line(100, 0, 120, 0, 1)}), 0);
    const std::string text = output();
    EXPECT_EQ(text.find("PAR1"), 0u);
    EXPECT_EQ(text.find("PAR1", 1), std::string::npos);
}

TEST_F(LaserContourTest, RefusedFlushStopsTheContourWhereverItFalls) {
    const std::vector<Element> contour = [&] {
        std::vector<Element> c = closed_contour();
        c.back() = line(10, 40, 10, 0, 0);
        c.push_back(arc(10, 0, 10, 0, 10, 5, 1, 0));
        c.push_back(line(100, 0, 120, 0, 2));  // a new start, releasing the circle
        return c;
    }();
    ASSERT_EQ(run(contour), 0);
    const std::vector<std::string> full = writer.pieces();
    ASSERT_TRUE(std::string(c_nc_buff).empty());
    const int flushes = writer.flushes();

    for (int n = 1; n <= flushes + 1; ++n) {
        SCOPED_TRACE(testing::Message() << "refused from flush " << n);
        host::MemoryWriter refusing;
        refusing.refuse_from(n);
        start_program();
        host::set_writer(&refusing);
        const int result = run(contour);
        EXPECT_EQ(result, n <= flushes ? 1 : 0);
        std::string expected;
        for (int i = 0; i < n - 1 && i < static_cast<int>(full.size()); ++i) expected += full[i];
        EXPECT_EQ(refusing.text(), expected);
        host::set_writer(&writer);
    }
}

TEST_F(LaserContourTest, UnknownTechnologyStopsBeforeAnyWord) {
    ContourRecord co(1, 1, 99);
    EXPECT_EQ(pp_laser_line(10, 0, 20, 0, co.co()), 1);
    // Only the parameter section went out.
    EXPECT_EQ(output(), crlf("PAR1\nPAR2\n"));
}

}  // namespace
