// laser_contour_step.cpp - the work step of the laser head: a contour of
// lines and arcs.
#include <cmath>
#include <cstdint>
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

// What an element names itself, kept while its contour is read.
enum ElementGiven : std::uint8_t {
    GIVEN_TECHNOLOGY = 1,
    GIVEN_COMPENSATION = 2,
    GIVEN_LASER_ON = 4,
    GIVEN_LASER_OFF = 8,
};

// Whether an element starts a cut, given the element before it in its
// contour (none for the first): the first starts one unless it goes on with
// a cut left open, the others after an element that switched the laser off.
bool starts_cut(const LaserElement *before, bool goes_on_with_open_cut) {
    return before != nullptr ? before->off_type != 0 : !goes_on_with_open_cut;
}

}  // namespace

// A cut starts at the first element of a contour (unless the contour goes on
// with a cut left open by the step before) and after each element that
// switches the laser off.  Inside a cut each element starts where the one
// before ended, and only an element that starts a cut may name its own
// technology, compensation and laser-on type: the control takes them only
// there.
//
// The elements are read one by one, before the contour's own settings are
// known (they may stand after the elements): each element keeps what it
// names itself, and the contour's settings are given to the others when the
// contour ends.
void read_laser_contour_element(const JsonField &item, std::size_t index, WorkContext &context) {
    Job &job = context.job();
    WorkContext::ContourReading &reading = context.contour_reading();
    if (index == 0) {
        reading.first = job.laser_elements.size();
        reading.given.clear();
    }
    item.expect_object({"line", "arc", "laser_off", "compensation", "laser_on", "technology"});

    // 1. Where the element stands: the one before is not the last, so its
    // laser-off type is its own or 0.
    const LaserElement *before = index > 0 ? &job.laser_elements.back() : nullptr;
    const WorkContext::OpenCut *open = index == 0 ? context.open_cut() : nullptr;
    const bool starts = starts_cut(before, open != nullptr);
    LaserElement e;
    e.off_type = 0;
    std::uint8_t given = 0;

    // 2. Its path, which goes on from the cut's end unless it starts one.
    if (item.has("line") == item.has("arc")) item.fail("an element is either a \"line\" or an \"arc\"");
    const JsonField shape = item.member(item.has("line") ? "line" : "arc");
    if (item.has("line")) read_line(shape, e);
    else read_arc(shape, e);
    if (open != nullptr && !same_point(open->x, open->y, e.x1, e.y1)) context.fail_open_cut();
    if (before != nullptr && !starts && !same_point(before->x2, before->y2, e.x1, e.y1)) {
        std::ostringstream text;
        text << "the element starts " << std::hypot(e.x1 - before->x2, e.y1 - before->y2)
             << " mm away from the end of the element before (" << before->x2 << ", " << before->y2
             << "), whose cut goes on (laser_off 0): close the gap, or end the cut before it with laser_off";
        shape.member("from").fail(text.str());
    }

    // 3. Its own settings: where a cut starts only.
    for (const char *key : {"technology", "compensation", "laser_on"}) {
        if (!starts && item.has(key)) {
            item.member(key).fail(std::string(key) +
                                  " may be given only where a cut starts; this element goes on with the cut of the " +
                                  (before != nullptr ? "element" : "step") + " before");
        }
    }
    if (item.has("technology")) {
        e.technology = read_technology_number(item.member("technology"), context);
        given |= GIVEN_TECHNOLOGY;
    }
    if (item.has("compensation")) {
        e.compensation = read_compensation(item.member("compensation"));
        given |= GIVEN_COMPENSATION;
    }
    if (item.has("laser_on")) {
        e.on_type = read_laser_type(item.member("laser_on"));
        given |= GIVEN_LASER_ON;
    }
    if (item.has("laser_off")) {
        e.off_type = read_laser_type(item.member("laser_off"));
        given |= GIVEN_LASER_OFF;
    }
    job.laser_elements.push_back(e);
    reading.given.push_back(given);
}

void read_laser_contour_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"technology", "compensation", "laser_on", "elements"});
    const LaserElement common = read_contour_settings(body, context);
    const bool goes_on_with_open_cut = context.open_cut() != nullptr;

    Job &job = context.job();
    const JsonField elements = body.member("elements");
    elements.array_size();  // an array, its items read already
    const std::size_t n = context.list_items();
    if (n == 0) elements.fail("a contour needs at least one element");
    const WorkContext::ContourReading &reading = context.contour_reading();

    // 1. The last element switches the laser off unless it says otherwise.
    LaserElement *first = &job.laser_elements[reading.first];
    if ((reading.given[n - 1] & GIVEN_LASER_OFF) == 0) first[n - 1].off_type = LASER_OFF_HEAD_UP;

    // 2. Each cut takes the contour's settings where its first element names
    // none of its own.
    for (std::size_t i = 0; i < n; ++i) {
        LaserElement &e = first[i];
        const LaserElement *before = i > 0 ? &first[i - 1] : nullptr;
        const LaserElement &base = starts_cut(before, goes_on_with_open_cut) || before == nullptr ? common : *before;
        const std::uint8_t given = reading.given[i];
        if ((given & GIVEN_TECHNOLOGY) == 0) e.technology = base.technology;
        if ((given & GIVEN_COMPENSATION) == 0) e.compensation = base.compensation;
        if ((given & GIVEN_LASER_ON) == 0) e.on_type = base.on_type;
    }
    job.work.push_back(LaserContour{reading.first, n});

    // 3. A cut left open at the end: the next step must go on with it.
    const LaserElement &last = first[n - 1];
    if (last.off_type != 0) return context.close_cut();
    context.leave_cut_open(WorkContext::OpenCut{last.x2, last.y2, last.technology, last.compensation, last.on_type,
                                                elements.path().index(n - 1).key("laser_off").text()});
}

}  // namespace job
