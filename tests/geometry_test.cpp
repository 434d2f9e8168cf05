// The host's geometry helpers: intersection counts of lines and circles,
// line and circle completion, swept angles and the angle modulus.
#include <cmath>
#include <cstring>
#include <numbers>

#include "interface/host_records.h"
#include "tests/support/host_fixture.h"

namespace {

constexpr double PI = std::numbers::pi;

struct LineRecord {
    char bytes[LINE_RECORD_SIZE] = {};
    LineRecord(double x1, double y1, double x2, double y2) {
        const int kind = 1;
        std::memcpy(bytes + GEO_KIND_AT, &kind, sizeof kind);
        std::memcpy(bytes + LINE_X1_AT, &x1, sizeof x1);
        std::memcpy(bytes + LINE_Y1_AT, &y1, sizeof y1);
        std::memcpy(bytes + LINE_X2_AT, &x2, sizeof x2);
        std::memcpy(bytes + LINE_Y2_AT, &y2, sizeof y2);
    }
};

struct CircleRecord {
    char bytes[CIRCLE_RECORD_SIZE] = {};
    CircleRecord(double xc, double yc, double r) {
        const int kind = 2;
        std::memcpy(bytes + GEO_KIND_AT, &kind, sizeof kind);
        std::memcpy(bytes + CIRCLE_XC_AT, &xc, sizeof xc);
        std::memcpy(bytes + CIRCLE_YC_AT, &yc, sizeof yc);
        std::memcpy(bytes + CIRCLE_R_AT, &r, sizeof r);
    }
};

double field(const char *record, std::size_t offset) {
    double v;
    std::memcpy(&v, record + offset, sizeof v);
    return v;
}

int lines(LineRecord a, LineRecord b) {
    char point[GEO_POINT_SIZE];
    return line_line(a.bytes, b.bytes, point);
}

int line_and_circle(LineRecord l, CircleRecord c) {
    char p1[GEO_POINT_SIZE], p2[GEO_POINT_SIZE];
    return line_circle(l.bytes, c.bytes, p1, p2);
}

int circles(CircleRecord a, CircleRecord b) {
    char p1[GEO_POINT_SIZE], p2[GEO_POINT_SIZE];
    return circle_circle(a.bytes, b.bytes, p1, p2);
}

TEST(GeometryTest, LinesMeetInOnePointUnlessParallel) {
    EXPECT_EQ(lines({0, 0, 10, 0}, {10, 0, 20, 0}), 0);        // collinear
    EXPECT_EQ(lines({0, 0, 10, 0}, {0, 5, 10, 5}), 0);         // parallel
    EXPECT_EQ(lines({0, 0, 10, 0}, {20, 0, 10, 0}), 0);        // collinear, reversed
    EXPECT_EQ(lines({0, 0, 10, 1e-9}, {10, 1e-9, 20, -1e-9}), 0);  // collinear with noise
    EXPECT_EQ(lines({0, 0, 10, 0}, {10, 0, 10, 10}), 1);       // right-angled corner
    EXPECT_EQ(lines({0, 0, 10, 0}, {10, 0, 20, 0.01}), 1);     // a slight corner
    EXPECT_EQ(lines({0, 0, 10, 0}, {10, 0, 10, 0}), 0);        // a line without length
}

TEST(GeometryTest, LineLinePointIsTheCrossing) {
    LineRecord a(0, 0, 10, 10), b(0, 10, 10, 0);
    char point[GEO_POINT_SIZE];
    ASSERT_EQ(line_line(a.bytes, b.bytes, point), 1);
    EXPECT_NEAR(field(point, 0), 5, 1e-12);
    EXPECT_NEAR(field(point, 8), 5, 1e-12);
}

TEST(GeometryTest, LineAndCircle) {
    EXPECT_EQ(line_and_circle({0, 0, 50, 0}, {50, 10, 10}), 1);     // tangent
    EXPECT_EQ(line_and_circle({0, 0, 50, 0}, {50, 5, 10}), 2);      // secant
    EXPECT_EQ(line_and_circle({0, 0, 50, 0}, {50, 20, 10}), 0);     // apart
    EXPECT_EQ(line_and_circle({60, 10, 60, 40}, {50, 10, 10}), 1);  // tangent, vertical
    // Tangent through rounding noise of 1e-9 mm in every coordinate.
    EXPECT_EQ(line_and_circle({10, 1e-9, 50, -1e-9}, {50.000000001, 10 - 1e-9, 10 + 1e-9}), 1);
    // Far from the origin, still tangent.
    EXPECT_EQ(line_and_circle({2400, 1200 + 1e-9, 2450, 1200}, {2450, 1210, 10}), 1);
    // A corner of 0.1 degree at a 10 mm arc is no tangency.
    const double a = 0.1 * PI / 180;
    EXPECT_EQ(line_and_circle({50 - 40 * std::cos(a), 40 * std::sin(a), 50, 0}, {50, 10, 10}), 2);
}

TEST(GeometryTest, LineAndCirclePoints) {
    LineRecord l(0, 0, 50, 0);
    CircleRecord c(20, 0, 10);
    char p1[GEO_POINT_SIZE], p2[GEO_POINT_SIZE];
    ASSERT_EQ(line_circle(l.bytes, c.bytes, p1, p2), 2);
    EXPECT_NEAR(std::fmin(field(p1, 0), field(p2, 0)), 10, 1e-12);
    EXPECT_NEAR(std::fmax(field(p1, 0), field(p2, 0)), 30, 1e-12);
}

TEST(GeometryTest, TwoCircles) {
    EXPECT_EQ(circles({50, 10, 10}, {70, 10, 10}), 1);           // touching outside
    EXPECT_EQ(circles({0, 0, 20}, {10, 0, 10}), 1);              // touching inside
    EXPECT_EQ(circles({50, 10, 10}, {70.000000001, 10 + 1e-9, 10}), 1);  // with noise
    EXPECT_EQ(circles({0, 0, 10}, {10, 10, 10}), 2);             // crossing
    EXPECT_EQ(circles({0, 0, 10}, {30, 0, 10}), 0);              // apart
    EXPECT_EQ(circles({0, 0, 10}, {1, 0, 2}), 0);                // one inside the other
    EXPECT_EQ(circles({0, 0, 10}, {0, 0, 5}), 0);                // concentric
    EXPECT_EQ(circles({0, 0, 10}, {0, 0, 10}), 1);               // one circle: arcs continue
}

TEST(GeometryTest, CalcLineAndCalcCircleCompleteTheirRecords) {
    LineRecord l(1, 2, 4, 6);
    calc_line(l.bytes);
    EXPECT_DOUBLE_EQ(field(l.bytes, 36), 0.6);
    EXPECT_DOUBLE_EQ(field(l.bytes, 44), 0.8);
    EXPECT_DOUBLE_EQ(field(l.bytes, 52), 5);
    EXPECT_DOUBLE_EQ(field(l.bytes, LINE_X1_AT), 1);

    CircleRecord c(0, 0, 10);
    const double xs = 0, ys = -10, xe = 10, ye = 0;
    std::memcpy(c.bytes + CIRCLE_XS_AT, &xs, 8);
    std::memcpy(c.bytes + CIRCLE_YS_AT, &ys, 8);
    std::memcpy(c.bytes + CIRCLE_XE_AT, &xe, 8);
    std::memcpy(c.bytes + CIRCLE_YE_AT, &ye, 8);
    const int dir = -1;
    std::memcpy(c.bytes + CIRCLE_DIR_AT, &dir, 4);
    calc_circle(c.bytes);
    EXPECT_DOUBLE_EQ(field(c.bytes, 60), 1.5 * PI);
    EXPECT_DOUBLE_EQ(field(c.bytes, 68), 0);
    int dir_after;
    std::memcpy(&dir_after, c.bytes + CIRCLE_DIR_AT, 4);
    EXPECT_EQ(dir_after, -1);
}

TEST(GeometryTest, SweptAngleInEitherSense) {
    double s, e, da;
    calc_sra_era_da(10, 0, 0, 10, 0, 0, 1.0, &s, &e, &da);
    EXPECT_DOUBLE_EQ(s, 0);
    EXPECT_DOUBLE_EQ(e, PI / 2);
    EXPECT_DOUBLE_EQ(da, PI / 2);
    calc_sra_era_da(10, 0, 0, 10, 0, 0, -1.0, &s, &e, &da);
    EXPECT_DOUBLE_EQ(da, 1.5 * PI);
    calc_sra_era_da(10, 0, -10, 0, 0, 0, 1.0, &s, &e, &da);
    EXPECT_DOUBLE_EQ(da, PI);
    calc_sra_era_da(10, 0, -10, 0, 0, 0, -1.0, &s, &e, &da);
    EXPECT_DOUBLE_EQ(da, PI);
    // Start and end angles in [0, 2 pi).
    calc_sra_era_da(0, -10, -10, 0, 0, 0, -1.0, &s, &e, &da);
    EXPECT_DOUBLE_EQ(s, 1.5 * PI);
    EXPECT_DOUBLE_EQ(e, PI);
    EXPECT_DOUBLE_EQ(da, PI / 2);
    // A start equal to its end is a full turn, in both senses.
    calc_sra_era_da(5, 3, 5, 3, 0, 3, 1.0, &s, &e, &da);
    EXPECT_DOUBLE_EQ(da, 2 * PI);
    calc_sra_era_da(5, 3, 5, 3, 0, 3, -1.0, &s, &e, &da);
    EXPECT_DOUBLE_EQ(da, 2 * PI);
}

TEST(GeometryTest, AngleModulus) {
    EXPECT_DOUBLE_EQ(cad_fmod(7, 5), 2);
    EXPECT_DOUBLE_EQ(cad_fmod(-1, 5), 4);
    EXPECT_DOUBLE_EQ(cad_fmod(-10, 5), 0);
    EXPECT_DOUBLE_EQ(cad_fmod(0, 2 * PI), 0);
    // A tiny negative value must not come out as the modulus itself.
    const double r = cad_fmod(-1e-18, 2 * PI);
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 2 * PI);
}

}  // namespace
