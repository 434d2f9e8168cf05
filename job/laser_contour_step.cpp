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

// Two points are the same where the control's position comparison takes
// them as one: each coordinate differs by less than this.
constexpr double SAME_POINT_TOLERANCE = 1e-6;

bool same_point(double x1, double y1, double x2, double y2) {
    return std::fabs(x1 - x2) < SAME_POINT_TOLERANCE && std::fabs(y1 - y2) < SAME_POINT_TOLERANCE;
}

// The settings of a contour that goes on with a cut left open must be the
// cut's: the control takes them only where a cut starts.
void check_same_as_cut(const JsonField &f, bool same, const std::string &what) {
    if (!same) f.fail("this contour goes on with the cut left open by the step before, which cuts with " + what);
}

const char *compensation_name(Compensation c) {
    return c == Compensation::left ? "left" : c == Compensation::right ? "right" : "none";
}

// The contour's own settings, which hold for each element that starts a cut.
LaserElement read_contour_settings(const JsonField &body, WorkContext &context) {
    LaserElement common;
    const JsonField technology = body.member("technology");
    common.technology = read_technology_number(technology, context);
    if (body.has("compensation")) common.compensation = read_compensation(body.member("compensation"));
    if (body.has("laser_on")) common.on_type = read_laser_type(body.member("laser_on"));

    const WorkContext::OpenCut *cut = context.open_cut();
    if (cut == nullptr) return common;
    check_same_as_cut(technology, common.technology == cut->technology, "technology " + std::to_string(cut->technology));
    if (body.has("compensation")) {
        check_same_as_cut(body.member("compensation"), common.compensation == cut->compensation,
                          std::string("compensation \"") + compensation_name(cut->compensation) + "\"");
    }
    if (body.has("laser_on")) {
        check_same_as_cut(body.member("laser_on"), common.on_type == cut->on_type,
                          "laser_on " + std::to_string(cut->on_type));
    }
    common.compensation = cut->compensation;
    common.on_type = cut->on_type;
    return common;
}

}  // namespace

// A cut starts at the first element of a contour (unless the contour goes on
// with a cut left open by the step before) and after each element that
// switches the laser off.  Inside a cut each element starts where the one
// before ended, and only an element that starts a cut may name its own
// technology, compensation and laser-on type: the control takes them only
// there.
void read_laser_contour_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"technology", "compensation", "laser_on", "elements"});
    const LaserElement common = read_contour_settings(body, context);

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

        // 1. Where the element stands in its cut.
        const LaserElement *before = i > 0 ? &job.laser_elements.back() : nullptr;
        const WorkContext::OpenCut *open = i == 0 ? context.open_cut() : nullptr;
        const bool starts_cut = before != nullptr ? before->off_type != 0 : open == nullptr;
        LaserElement e = common;
        if (!starts_cut && before != nullptr) {
            e.technology = before->technology;
            e.compensation = before->compensation;
            e.on_type = before->on_type;
        }
        e.off_type = i + 1 == n ? LASER_OFF_HEAD_UP : 0;

        // 2. Its path, which goes on from the cut's end unless it starts one.
        if (ef.has("line") == ef.has("arc")) ef.fail("an element is either a \"line\" or an \"arc\"");
        const JsonField shape = ef.member(ef.has("line") ? "line" : "arc");
        if (ef.has("line")) read_line(shape, e);
        else read_arc(shape, e);
        if (open != nullptr && !same_point(open->x, open->y, e.x1, e.y1)) context.fail_open_cut();
        if (before != nullptr && !starts_cut && !same_point(before->x2, before->y2, e.x1, e.y1)) {
            std::ostringstream text;
            text << "the element starts " << std::hypot(e.x1 - before->x2, e.y1 - before->y2)
                 << " mm away from the end of the element before (" << before->x2 << ", " << before->y2
                 << "), whose cut goes on (laser_off 0): close the gap, or end the cut before it with laser_off";
            shape.member("from").fail(text.str());
        }

        // 3. Its own settings: where a cut starts only.
        for (const char *key : {"technology", "compensation", "laser_on"}) {
            if (!starts_cut && ef.has(key)) {
                ef.member(key).fail(std::string(key) +
                                    " may be given only where a cut starts; this element goes on with the cut of the " +
                                    (before != nullptr ? "element" : "step") + " before");
            }
        }
        if (ef.has("technology")) e.technology = read_technology_number(ef.member("technology"), context);
        if (ef.has("compensation")) e.compensation = read_compensation(ef.member("compensation"));
        if (ef.has("laser_on")) e.on_type = read_laser_type(ef.member("laser_on"));
        if (ef.has("laser_off")) e.off_type = read_laser_type(ef.member("laser_off"));
        job.laser_elements.push_back(e);
    }
    job.work.push_back(contour);

    // 4. A cut left open at the end: the next step must go on with it.
    const LaserElement &last = job.laser_elements.back();
    if (last.off_type != 0) return context.close_cut();
    context.leave_cut_open(WorkContext::OpenCut{last.x2, last.y2, last.technology, last.compensation, last.on_type,
                                                elements.element(n - 1).member("laser_off").place()});
}

}  // namespace job
