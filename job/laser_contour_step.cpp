// laser_contour_step.cpp - the work step of the laser head: a contour of
// lines and arcs.
#include <cmath>
#include <sstream>

#include "job/work_steps.h"

namespace job {
namespace {

// Laser-on and laser-off types are three-bit fields of the host's contour
// record.
constexpr long long MAX_LASER_TYPE = 7;

// The laser-off type of the last element when the job names none: laser
// off, head up.
constexpr int LASER_OFF_HEAD_UP = 2;

// Start, end and centre of an arc must agree on its radius to within this.
constexpr double ARC_RADIUS_TOLERANCE = 0.001;

Compensation read_compensation(const JsonField &f) {
    switch (f.choice({"none", "left", "right"})) {
    case 1: return Compensation::left;
    case 2: return Compensation::right;
    default: return Compensation::none;
    }
}

int read_technology_number(const JsonField &f, WorkContext &context) {
    const int number = f.int32();
    context.require_technology(f, number);
    return number;
}

int read_laser_type(const JsonField &f) { return static_cast<int>(f.integer(0, MAX_LASER_TYPE)); }

void read_line(const JsonField &f, LaserElement &e) {
    f.expect_object({"from", "to"});
    e.kind = LaserElement::Kind::line;
    f.member("from").point(e.x1, e.y1);
    f.member("to").point(e.x2, e.y2);
}

void read_arc(const JsonField &f, LaserElement &e) {
    f.expect_object({"from", "to", "centre", "sense"});
    e.kind = LaserElement::Kind::arc;
    f.member("from").point(e.x1, e.y1);
    f.member("to").point(e.x2, e.y2);
    const JsonField centre = f.member("centre");
    centre.point(e.xc, e.yc);
    if (f.has("sense")) e.counter_clockwise = f.member("sense").choice({"ccw", "cw"}) == 0;
    const double r1 = std::hypot(e.x1 - e.xc, e.y1 - e.yc);
    const double r2 = std::hypot(e.x2 - e.xc, e.y2 - e.yc);
    if (r1 < ARC_RADIUS_TOLERANCE) centre.fail("the centre of an arc must not be its start");
    if (std::fabs(r1 - r2) > ARC_RADIUS_TOLERANCE) {
        std::ostringstream text;
        text << "start and end lie at different distances from the centre (" << r1 << " and " << r2 << ")";
        centre.fail(text.str());
    }
}

}  // namespace

void read_laser_contour_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"technology", "compensation", "laser_on", "elements"});
    LaserElement common;
    common.technology = read_technology_number(body.member("technology"), context);
    if (body.has("compensation")) common.compensation = read_compensation(body.member("compensation"));
    if (body.has("laser_on")) common.on_type = read_laser_type(body.member("laser_on"));

    Job &job = context.job();
    const JsonField elements = body.member("elements");
    const std::size_t n = elements.array_size();
    if (n == 0) elements.fail("a contour needs at least one element");
    LaserContour contour;
    contour.first = job.laser_elements.size();
    contour.count = n;
    for (std::size_t i = 0; i < n; ++i) {
        const JsonField ef = elements.element(i);
        ef.expect_object({"line", "arc", "laser_off", "compensation", "laser_on", "technology"});
        LaserElement e = common;
        e.off_type = i + 1 == n ? LASER_OFF_HEAD_UP : 0;
        if (ef.has("line") == ef.has("arc")) ef.fail("an element is either a \"line\" or an \"arc\"");
        if (ef.has("line")) read_line(ef.member("line"), e);
        else read_arc(ef.member("arc"), e);
        if (ef.has("laser_off")) e.off_type = read_laser_type(ef.member("laser_off"));
        if (ef.has("compensation")) e.compensation = read_compensation(ef.member("compensation"));
        if (ef.has("laser_on")) e.on_type = read_laser_type(ef.member("laser_on"));
        if (ef.has("technology")) e.technology = read_technology_number(ef.member("technology"), context);
        job.laser_elements.push_back(e);
    }
    job.work.push_back(contour);
}

}  // namespace job
