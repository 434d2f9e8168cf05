// svg_plot.cpp - the events drawn.
//
// The drawing is in millimetres with Y up (one group flips SVG's Y axis);
// the legend stands to its right.  Styles are CSS classes, so that an
// element is short and its class says what it is: stroke, nibble-stroke,
// nibble, laser, kerf, pierce, move, regrip, zone, offending.
#include "plot/svg_plot.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

#include "nc/nibbling.h"

namespace plot {
namespace {

constexpr double RADIANS_PER_DEGREE = std::numbers::pi / 180.0;
constexpr double FULL_TURN = 360.0;
constexpr double PIXEL_WIDTH = 1600.0;     // the width the SVG asks for
constexpr double LEGEND_CHARACTERS = 40.0; // the legend's width, in characters of its text
constexpr double CLAMP_WIDTH = 40.0, CLAMP_DEPTH = 20.0;  // mm, as drawn
constexpr double KERF_OFFSET_SHARE = 0.004;  // the compensation side, against the drawing's size

// Station colours, in turn.
constexpr const char *PALETTE[] = {"#1f77b4", "#2ca02c", "#9467bd", "#ff7f0e", "#17becf", "#8c564b",
                                   "#e377c2", "#bcbd22", "#7f7f7f", "#393b79", "#637939", "#843c39"};
constexpr const char *LASER_COLOUR = "#d62728";
// Work that strikes a clamp's zone or lies off the sheet.
constexpr const char *HAZARD_COLOUR = "#e00000";
// A nibbled path draws no more strokes than can be told apart: at most one
// every tenth of a pixel along it, and never more than this many.
constexpr double DRAWN_STROKES_PER_PIXEL = 10.0;
constexpr long long MOST_DRAWN_STROKES = 1000000;

// A number of the drawing: millimetres to 0.001.
std::string n(double v) {
    char text[48];
    if (std::fabs(v) < 0.0005) v = 0.0;
    std::snprintf(text, sizeof text, "%.3f", v);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

std::string escaped(const std::string &text) {
    std::string e;
    for (char c : text) {
        switch (c) {
        case '<': e += "&lt;"; break;
        case '>': e += "&gt;"; break;
        case '&': e += "&amp;"; break;
        case '"': e += "&quot;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20) e += c;
        }
    }
    return e;
}

// Path data of an arc or circle event from its start: SVG's sweep flag 1 is
// counter-clockwise here, Y being up.
std::string arc_path(double x0, double y0, double xc, double yc, double r, double sweep) {
    const int flag = sweep > 0.0 ? 1 : 0;
    const double a0 = std::atan2(y0 - yc, x0 - xc);
    if (std::fabs(sweep) >= FULL_TURN - 1e-9) {
        const double mx = xc - (x0 - xc), my = yc - (y0 - yc);
        return "M" + n(x0) + " " + n(y0) + "A" + n(r) + " " + n(r) + " 0 1 " + std::to_string(flag) + " " + n(mx) + " " +
               n(my) + "A" + n(r) + " " + n(r) + " 0 1 " + std::to_string(flag) + " " + n(x0) + " " + n(y0);
    }
    const double a1 = a0 + sweep * RADIANS_PER_DEGREE;
    const int large = std::fabs(sweep) > 180.0 ? 1 : 0;
    return "M" + n(x0) + " " + n(y0) + "A" + n(r) + " " + n(r) + " 0 " + std::to_string(large) + " " +
           std::to_string(flag) + " " + n(xc + r * std::cos(a1)) + " " + n(yc + r * std::sin(a1));
}

bool turns(const Footprint &f) { return f.shape != Footprint::Shape::marker && f.shape != Footprint::Shape::round; }

// Hundredths of a millimetre: the paths of strokes move by whole ones, so
// that their relative moves add up to the places exactly.
long long hundredths(double mm) { return std::llround(std::fmax(-1e13, std::fmin(1e13, mm)) * 100.0); }

std::string hundredths_text(long long v) {
    char text[32];
    const long long a = v < 0 ? -v : v;
    if (a % 100 == 0) std::snprintf(text, sizeof text, "%s%lld", v < 0 ? "-" : "", a / 100);
    else if (a % 10 == 0) std::snprintf(text, sizeof text, "%s%lld.%lld", v < 0 ? "-" : "", a / 100, a % 100 / 10);
    else std::snprintf(text, sizeof text, "%s%lld.%02lld", v < 0 ? "-" : "", a / 100, a % 100);
    return text;
}

// Strokes after an operator stop (a flip or a turn) are drawn hollow.
bool after_operator_stop(const nc::SheetFrame &frame) { return frame.side() > 0; }

// Paths of strokes longer than this are written out and another begun.
constexpr std::size_t PATH_PIECE = 1 << 15;

}  // namespace

// ---- The sheet as the operator turns it ------------------------------------------------

void turned_size(const Scene &scene, int side, double &size_x, double &size_y) {
    size_x = scene.sheet_x;
    size_y = scene.sheet_y;
    for (int k = 0; k < side && k < static_cast<int>(scene.turns.size()); ++k) {
        const SheetTurn t = scene.turns[static_cast<std::size_t>(k)];
        if (t == SheetTurn::clockwise || t == SheetTurn::counterclockwise) std::swap(size_x, size_y);
    }
}

const char *turn_text(SheetTurn turn) {
    switch (turn) {
    case SheetTurn::flip: return "flipped";
    case SheetTurn::clockwise: return "a quarter turn clockwise";
    case SheetTurn::half: return "a half turn";
    case SheetTurn::counterclockwise: return "a quarter turn counterclockwise";
    }
    return "";
}

// ---- The first pass ---------------------------------------------------------------------

Extent::Extent(const Scene &scene)
    : min_x(std::min(0.0, scene.load_x)), min_y(std::min(0.0, scene.load_y)),
      max_x(std::max(scene.sheet_x, scene.load_x)), max_y(std::max(scene.sheet_y, scene.load_y)), scene_(scene),
      check_(scene.safety) {
    for (double c : scene.clamps) cover(c, 0.0, CLAMP_WIDTH);
    for (const safety::Polygon &z : check_.zones()) {
        cover(z[0].x, 0.0);
        cover(z[1].x, z[2].y);
    }
    min_y = std::min(min_y, -CLAMP_DEPTH);
    for (const auto &[station, f] : scene.tools) margin_ = std::max(margin_, std::max(f.size_x, f.size_y) / 2.0);
    for (std::size_t side = 1; side <= scene.turns.size(); ++side) {
        double w = 0.0, h = 0.0;
        turned_size(scene, static_cast<int>(side), w, h);
        cover(w, h);
    }
}

double Extent::drawn_angle(int station, double angle) const {
    const auto found = scene_.tools.find(station);
    return found != scene_.tools.end() && turns(found->second) ? angle : 0.0;
}

void Extent::cover(double x, double y, double margin) {
    min_x = std::min(min_x, x - margin);
    min_y = std::min(min_y, y - margin);
    max_x = std::max(max_x, x + margin);
    max_y = std::max(max_y, y + margin);
}

void Extent::add(nc::Event e) {
    if (!check_.add(e).empty()) ++offending;
    frame_.place(e);
    using nc::EventKind;
    switch (e.kind) {
    case EventKind::stroke:
        stations.insert(e.tool.station);
        footprints.emplace(e.tool.station, drawn_angle(e.tool.station, e.tool.angle), after_operator_stop(frame_));
        ++strokes[e.tool.station];
        cover(e.x, e.y, margin_);
        break;
    case EventKind::nibble:
        stations.insert(e.tool.station);
        footprints.emplace(e.tool.station, drawn_angle(e.tool.station, e.tool.angle), after_operator_stop(frame_));
        strokes[e.tool.station] += nc::nibble_stroke_count(e);
        cover(e.x0, e.y0, margin_);
        cover(e.x, e.y, margin_);
        if (e.shape != nc::Shape::line) cover(e.xc, e.yc, e.radius + margin_);
        break;
    case EventKind::laser:
        laser = true;
        cover(e.x0, e.y0);
        cover(e.x, e.y);
        if (e.shape != nc::Shape::line) cover(e.xc, e.yc, e.radius);
        break;
    case EventKind::regrip:
        ++regrips;
        cover(e.x0, e.y0);
        cover(e.x, e.y);
        break;
    case EventKind::trap_door:
        ++trap_doors;
        cover(e.x0, e.y0);
        cover(e.x, e.y);
        break;
    case EventKind::stop:
        ++stops;
        sides = frame_.side();
        break;
    case EventKind::pierce:
    case EventKind::move:
    case EventKind::copy:
        cover(e.x0, e.y0);
        cover(e.x, e.y);
        break;
    default: break;
    }
}

// ---- The second pass --------------------------------------------------------------------

SvgPlot::SvgPlot(std::FILE *out, const Scene &scene, const Extent &extent)
    : out_(out), scene_(scene), extent_(extent), check_(scene.safety) {
    std::size_t i = 0;
    for (int station : extent.stations) colours_[station] = PALETTE[i++ % (sizeof PALETTE / sizeof PALETTE[0])];
    const double size = std::max(extent.max_x - extent.min_x, extent.max_y - extent.min_y);
    const double margin = size * 0.03 + 10.0;
    const double left = extent.min_x - margin, top = -extent.max_y - margin;
    const double drawing_width = extent.max_x - extent.min_x + 2.0 * margin;
    const double width = drawing_width + font() * LEGEND_CHARACTERS * 0.62 + margin;
    // Below the clamps, room for the labels of the re-grips.
    const double height = extent.max_y - extent.min_y + 2.0 * margin + (extent.regrips > 0 ? font() * 2.0 : 0.0);
    const double line = size / 400.0 + 0.2;
    const double marker = size / 250.0 + 1.0;
    std::fprintf(out_,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                 "width=\"%s\" height=\"%s\" viewBox=\"%s %s %s %s\">\n",
                 n(PIXEL_WIDTH).c_str(), n(std::min(PIXEL_WIDTH * height / width, 8.0 * PIXEL_WIDTH)).c_str(), n(left).c_str(),
                 n(top).c_str(), n(width).c_str(), n(height).c_str());
    std::fprintf(out_, "<title>%s</title>\n", escaped(scene.title).c_str());
    std::fprintf(out_,
                 "<style>\n"
                 ".sheet{fill:#f7f6f0;stroke:#444;stroke-width:%s}\n"
                 ".clamp{fill:#999;stroke:#444;stroke-width:%s}\n"
                 ".regrip{fill:none;stroke:#444;stroke-width:%s;stroke-dasharray:%s}\n"
                 ".load{fill:none;stroke:#000;stroke-width:%s}\n"
                 ".nibble{fill:none;stroke-width:%s}\n"
                 ".laser{fill:none;stroke:%s;stroke-width:%s}\n"
                 ".kerf{fill:none;stroke:%s;stroke-width:%s;stroke-dasharray:%s;opacity:0.6}\n"
                 ".pierce{fill:none;stroke:%s;stroke-width:%s}\n"
                 ".move{stroke:#aaa;stroke-width:%s;stroke-dasharray:%s}\n"
                 ".strokes,.travel{fill:none;stroke:#bbb;stroke-width:%s}\n"
                 ".nibble-strokes{fill:none;stroke:none}\n"
                 ".stop{fill:#000}\n"
                 ".trap-door{fill:none;stroke:#000;stroke-width:%s}\n"
                 ".turned{fill:none;stroke:#444;stroke-width:%s;stroke-dasharray:%s}\n"
                 ".zone{fill:%s;fill-opacity:0.1;stroke:%s;stroke-width:%s;stroke-dasharray:%s}\n"
                 ".offending{fill:none;stroke:%s;stroke-width:%s;opacity:0.6}\n"
                 "text{font-family:sans-serif;font-size:%spx;fill:#222}\n",
                 n(line).c_str(), n(line).c_str(), n(line).c_str(), n(line * 4).c_str(), n(line * 1.5).c_str(),
                 n(line * 0.4).c_str(), LASER_COLOUR, n(line * 1.5).c_str(), LASER_COLOUR, n(line * 0.6).c_str(),
                 n(line * 3).c_str(), LASER_COLOUR, n(line).c_str(), n(line * 0.5).c_str(), n(line * 2).c_str(),
                 n(line * 0.25).c_str(), n(line * 0.5).c_str(), n(line).c_str(), n(line * 6).c_str(), HAZARD_COLOUR, HAZARD_COLOUR,
                 n(line * 0.5).c_str(), n(line * 2).c_str(), HAZARD_COLOUR, n(line * 2).c_str(), n(font()).c_str());
    // Each footprint's marker, placed at every point of a path of strokes but its first.
    for (const auto &footprint : extent.footprints) {
        const int number = static_cast<int>(markers_.size());
        markers_.emplace(footprint, number);
        std::fprintf(out_, ".m%d{marker-mid:url(#m%d);marker-end:url(#m%d)}\n", number, number, number);
    }
    std::fprintf(out_, "</style>\n");
    // One symbol per station: its footprint, or a marker.
    std::fprintf(out_, "<defs>\n<marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerUnits=\"userSpaceOnUse\" "
                       "markerWidth=\"%s\" markerHeight=\"%s\" orient=\"auto\"><path d=\"M0 0L10 5L0 10z\" fill=\"%s\"/></marker>\n",
                 n(marker * 1.5).c_str(), n(marker * 1.5).c_str(), LASER_COLOUR);
    for (const auto &[footprint, number] : markers_) {
        const auto &[station, angle, hollow] = footprint;
        const std::string c = colour(station);
        const auto found = scene.tools.find(station);
        const Footprint f = found != scene.tools.end() ? found->second : Footprint{};
        const std::string paint = hollow ? "fill=\"none\" stroke=\"" + c + "\" stroke-width=\"" + n(line * 0.5) +
                                               "\" stroke-dasharray=\"" + n(line) + "\""
                                         : "fill=\"" + c + "\" fill-opacity=\"0.35\" stroke=\"" + c +
                                               "\" stroke-width=\"" + n(line * 0.5) + "\"";
        // The marker's box holds the footprint turned any way, with its outline.
        const double half = std::max(marker, std::hypot(f.size_x, f.size_y) / 2.0) + line;
        std::fprintf(out_,
                     "<marker id=\"m%d\" class=\"t%d\" markerUnits=\"userSpaceOnUse\" viewBox=\"%s %s %s %s\" markerWidth=\"%s\" "
                     "markerHeight=\"%s\" refX=\"0\" refY=\"0\" orient=\"%s\">",
                     number, station, n(-half).c_str(), n(-half).c_str(), n(2 * half).c_str(), n(2 * half).c_str(),
                     n(2 * half).c_str(), n(2 * half).c_str(), n(turns(f) ? angle : 0.0).c_str());
        switch (f.shape) {
        case Footprint::Shape::marker:
            std::fprintf(out_, "<circle r=\"%s\" fill=\"none\" stroke=\"%s\" stroke-width=\"%s\"/><path d=\"M-%s 0H%sM0 -%sV%s\" stroke=\"%s\" stroke-width=\"%s\"/>",
                         n(marker).c_str(), c.c_str(), n(line * 0.6).c_str(), n(marker).c_str(), n(marker).c_str(),
                         n(marker).c_str(), n(marker).c_str(), c.c_str(), n(line * 0.6).c_str());
            break;
        case Footprint::Shape::round: std::fprintf(out_, "<circle r=\"%s\" %s/>", n(f.size_x / 2).c_str(), paint.c_str()); break;
        case Footprint::Shape::square:
        case Footprint::Shape::rectangle:
        case Footprint::Shape::obround: {
            const double r = f.shape == Footprint::Shape::obround ? std::min(f.size_x, f.size_y) / 2 : 0.0;
            std::fprintf(out_, "<rect x=\"%s\" y=\"%s\" width=\"%s\" height=\"%s\" rx=\"%s\" %s/>", n(-f.size_x / 2).c_str(),
                         n(-f.size_y / 2).c_str(), n(f.size_x).c_str(), n(f.size_y).c_str(), n(r).c_str(), paint.c_str());
            break;
        }
        }
        std::fprintf(out_, "</marker>\n");
    }
    std::fprintf(out_, "</defs>\n<rect x=\"%s\" y=\"%s\" width=\"%s\" height=\"%s\" fill=\"#fff\"/>\n", n(left).c_str(), n(top).c_str(),
                 n(width).c_str(), n(height).c_str());
    // The sheet, the clamps below its edge, the load position.
    std::fprintf(out_, "<g transform=\"scale(1,-1)\">\n<rect class=\"sheet\" x=\"0\" y=\"0\" width=\"%s\" height=\"%s\"/>\n",
                 n(scene.sheet_x).c_str(), n(scene.sheet_y).c_str());
    for (double c : scene.clamps) {
        std::fprintf(out_, "<rect class=\"clamp\" x=\"%s\" y=\"%s\" width=\"%s\" height=\"%s\"/>\n", n(c - CLAMP_WIDTH / 2).c_str(),
                     n(-CLAMP_DEPTH).c_str(), n(CLAMP_WIDTH).c_str(), n(CLAMP_DEPTH).c_str());
    }
    zones("zone");
    std::fprintf(out_, "<path class=\"load\" d=\"M%s %sl%s %sl%s 0z\"/>\n", n(scene.load_x).c_str(), n(scene.load_y).c_str(),
                 n(-marker * 2).c_str(), n(-marker * 3).c_str(), n(marker * 4).c_str());
}

std::string SvgPlot::colour(int station) const {
    const auto found = colours_.find(station);
    return found != colours_.end() ? found->second : "#000";
}

void SvgPlot::end_strokes() {
    if (path_marker_ < 0) return;
    std::fprintf(out_, "<path class=\"%s m%d\" d=\"%s\"/>\n", path_kind_, path_marker_, path_.c_str());
    path_marker_ = -1;
    path_.clear();
}

void SvgPlot::stroke_at(const nc::Event &e, double x, double y, const char *kind) {
    const auto found = markers_.find({e.tool.station, extent_.drawn_angle(e.tool.station, e.tool.angle), after_operator_stop(frame_)});
    const int marker = found != markers_.end() ? found->second : -1;
    // A path goes on from its last stroke; a stroke that the tool reaches
    // from elsewhere (a copy's origin, a cut) begins a path there.
    const bool nibbling = kind != std::string_view("strokes");
    const long long from_x = hundredths(nibbling ? x : x_), from_y = hundredths(nibbling ? y : y_);
    if (marker != path_marker_ || std::string_view(kind) != path_kind_ || path_.size() > PATH_PIECE ||
        (!nibbling && (from_x != path_x_ || from_y != path_y_))) {
        end_strokes();
        // The path starts where the tool stood: the travel to the first stroke.
        path_x_ = from_x;
        path_y_ = from_y;
        path_ = "M" + hundredths_text(path_x_) + " " + hundredths_text(path_y_);
        path_marker_ = marker;
        path_kind_ = kind;
    }
    const long long px = hundredths(x), py = hundredths(y);
    path_ += "l" + hundredths_text(px - path_x_) + " " + hundredths_text(py - path_y_);
    path_x_ = px;
    path_y_ = py;
}

void SvgPlot::offending_at(const nc::Event &e, double x, double y, const char *kind) {
    const auto found = scene_.tools.find(e.tool.station);
    const Footprint f = found != scene_.tools.end() ? found->second : Footprint{};
    const double r = std::max(1.0, std::hypot(f.size_x, f.size_y) / 2.0);
    std::fprintf(out_, "<circle class=\"%s offending\" cx=\"%s\" cy=\"%s\" r=\"%s\"/>\n", kind, n(x).c_str(), n(y).c_str(),
                 n(r).c_str());
}

void SvgPlot::zones(const char *kind) {
    for (const safety::Polygon &z : check_.zones()) {
        std::fprintf(out_, "<rect class=\"%s\" x=\"%s\" y=\"0\" width=\"%s\" height=\"%s\"/>\n", kind, n(z[0].x).c_str(),
                     n(z[1].x - z[0].x).c_str(), n(z[2].y).c_str());
    }
}

void SvgPlot::laser_element(const nc::Event &e, bool offending) {
    ++laser_elements;
    std::string d;
    if (e.shape == nc::Shape::line) d = "M" + n(e.x0) + " " + n(e.y0) + "L" + n(e.x) + " " + n(e.y);
    else d = arc_path(e.x0, e.y0, e.xc, e.yc, e.radius, e.sweep);
    if (offending) std::fprintf(out_, "<path class=\"offending\" d=\"%s\"/>\n", d.c_str());
    std::fprintf(out_, "<path class=\"laser\" d=\"%s\" marker-end=\"url(#arrow)\"%s/>\n", d.c_str(),
                 after_operator_stop(frame_) ? " stroke-dasharray=\"4 2\"" : "");
    if (e.technology.compensation == nc::Compensation::none) return;
    // The compensation side: a thin line beside the cut, left or right of its way.
    const double size = std::max(extent_.max_x - extent_.min_x, extent_.max_y - extent_.min_y);
    const double side = (e.technology.compensation == nc::Compensation::left ? 1.0 : -1.0) * size * KERF_OFFSET_SHARE;
    if (e.shape == nc::Shape::line) {
        const double length = std::hypot(e.x - e.x0, e.y - e.y0);
        if (length == 0.0) return;
        const double nx = -(e.y - e.y0) / length * side, ny = (e.x - e.x0) / length * side;
        d = "M" + n(e.x0 + nx) + " " + n(e.y0 + ny) + "L" + n(e.x + nx) + " " + n(e.y + ny);
    } else {
        // Left of a counter-clockwise arc is towards its centre.
        const double r = e.radius - (e.sweep > 0.0 ? side : -side);
        if (r <= 0.0) return;
        const double a0 = std::atan2(e.y0 - e.yc, e.x0 - e.xc);
        d = arc_path(e.xc + r * std::cos(a0), e.yc + r * std::sin(a0), e.xc, e.yc, r, e.sweep);
    }
    std::fprintf(out_, "<path class=\"kerf\" d=\"%s\"/>\n", d.c_str());
}

void SvgPlot::add(nc::Event e) {
    const bool offending = !check_.add(e).empty();
    frame_.place(e);
    using nc::EventKind;
    switch (e.kind) {
    case EventKind::stroke:
        ++strokes;
        x_ = e.x0;
        y_ = e.y0;
        stroke_at(e, e.x, e.y, "strokes");
        if (offending) offending_at(e, e.x, e.y, "stroke");
        break;
    case EventKind::nibble: {
        ++nibble_paths;
        const std::string d = e.shape == nc::Shape::line ? "M" + n(e.x0) + " " + n(e.y0) + "L" + n(e.x) + " " + n(e.y)
                                                         : arc_path(e.x0, e.y0, e.xc, e.yc, e.radius, e.sweep);
        std::fprintf(out_, "<path class=\"nibble\" stroke=\"%s\" d=\"%s\"/>\n", colour(e.tool.station).c_str(), d.c_str());
        const long long count = nc::nibble_stroke_count(e);
        // Strokes closer together than can be seen are drawn one in so many
        // (a path of a trillion strokes is a thin line of footprints).
        const double size = std::max(extent_.max_x - extent_.min_x, extent_.max_y - extent_.min_y);
        const double seen = std::ceil(nc::nibble_length(e) / size * PIXEL_WIDTH * DRAWN_STROKES_PER_PIXEL) + 1.0;
        const long long drawn = std::min(count, static_cast<long long>(std::min(seen, static_cast<double>(MOST_DRAWN_STROKES))));
        for (long long i = 0; i < drawn; ++i) {
            // The first and the last always; in between, evenly spread.
            const long long k = drawn == count || drawn < 2 ? i : static_cast<long long>(
                static_cast<double>(i) * static_cast<double>(count - 1) / static_cast<double>(drawn - 1));
            double x = 0.0, y = 0.0;
            nc::nibble_stroke(e, k, x, y);
            stroke_at(e, x, y, "nibble-strokes");
            if (offending && check_.strikes(k)) offending_at(e, x, y, "nibble-stroke");
        }
        end_strokes();
        nibble_strokes += count;
        break;
    }
    case EventKind::pierce: {
        ++pierces;
        // The travel from where the tool stood to the cut.
        std::fprintf(out_, "<line class=\"travel\" x1=\"%s\" y1=\"%s\" x2=\"%s\" y2=\"%s\"/>\n", n(e.x0).c_str(),
                     n(e.y0).c_str(), n(e.x).c_str(), n(e.y).c_str());
        const double size = std::max(extent_.max_x - extent_.min_x, extent_.max_y - extent_.min_y);
        std::fprintf(out_, "<circle class=\"pierce\" cx=\"%s\" cy=\"%s\" r=\"%s\"/>\n", n(e.x).c_str(), n(e.y).c_str(),
                     n(size / 300.0 + 0.5).c_str());
        break;
    }
    case EventKind::laser: laser_element(e, offending); break;
    case EventKind::move:
        ++moves;
        std::fprintf(out_, "<line class=\"move\" x1=\"%s\" y1=\"%s\" x2=\"%s\" y2=\"%s\"/>\n", n(e.x0).c_str(), n(e.y0).c_str(),
                     n(e.x).c_str(), n(e.y).c_str());
        break;
    case EventKind::trap_door:
    case EventKind::stop: {
        const double size = std::max(extent_.max_x - extent_.min_x, extent_.max_y - extent_.min_y) / 150.0 + 1.0;
        std::fprintf(out_, "<rect class=\"%s\" x=\"%s\" y=\"%s\" width=\"%s\" height=\"%s\"/>\n",
                     e.kind == EventKind::stop ? "stop" : "trap-door", n(e.x - size / 2).c_str(), n(e.y - size / 2).c_str(),
                     n(size).c_str(), n(size).c_str());
        // Loaded again after an operator stop: the clamps hold it where they
        // did at first, the sheet as the operator turned it.
        if (e.kind == EventKind::stop && e.number == 1) {
            grip_shift_ = 0.0;
            const int side = frame_.side();
            if (side >= 1 && side <= static_cast<int>(scene_.turns.size())) {
                double w = 0.0, h = 0.0;
                turned_size(scene_, side, w, h);
                std::fprintf(out_, "<rect class=\"turned\" x=\"0\" y=\"0\" width=\"%s\" height=\"%s\"/>\n", n(w).c_str(),
                             n(h).c_str());
            }
        }
        break;
    }
    case EventKind::regrip: {
        // The clamps take the sheet further along: drawn dashed where they
        // now hold it, with the re-grip's number and distance.
        ++regrip_;
        grip_shift_ += e.value;
        zones("zone regrip");
        for (double c : scene_.clamps) {
            std::fprintf(out_, "<rect class=\"regrip\" x=\"%s\" y=\"%s\" width=\"%s\" height=\"%s\"/>\n",
                         n(c + grip_shift_ - CLAMP_WIDTH / 2).c_str(), n(-CLAMP_DEPTH).c_str(), n(CLAMP_WIDTH).c_str(),
                         n(CLAMP_DEPTH).c_str());
        }
        const double x = scene_.clamps.empty() ? e.x0 : scene_.clamps.front() + grip_shift_;
        std::fprintf(out_, "<text class=\"regrip-label\" transform=\"translate(%s %s) scale(1,-1)\">re-grip %lld: %s</text>\n",
                     n(x).c_str(), n(-CLAMP_DEPTH - font() * 1.2 * static_cast<double>(1 + (regrip_ - 1) % 2)).c_str(), regrip_,
                     n(e.value).c_str());
        break;
    }
    default: break;
    }
}

double SvgPlot::font() const {
    const double size = std::max(extent_.max_x - extent_.min_x, extent_.max_y - extent_.min_y);
    return size / 60.0 + 2.0;
}

double SvgPlot::legend_x() const {
    const double size = std::max(extent_.max_x - extent_.min_x, extent_.max_y - extent_.min_y);
    return extent_.max_x + (size * 0.03 + 10.0) * 1.5;
}

void SvgPlot::finish() {
    end_strokes();
    std::fprintf(out_, "</g>\n");
    // The legend, to the right of the drawing: a swatch and a text a line.
    const double f = font();
    const double x = legend_x();
    double y = -extent_.max_y;
    auto line = [&](const char *swatch, const std::string &t) {
        if (swatch != nullptr) {
            std::fprintf(out_, "<rect x=\"%s\" y=\"%s\" width=\"%s\" height=\"%s\" fill=\"%s\"/>\n", n(x).c_str(),
                         n(y - f * 0.85).c_str(), n(f * 1.2).c_str(), n(f).c_str(), swatch);
        }
        std::fprintf(out_, "<text x=\"%s\" y=\"%s\">%s</text>\n", n(x + f * 1.8).c_str(), n(y).c_str(), escaped(t).c_str());
        y += f * 1.5;
    };
    std::fprintf(out_, "<g class=\"legend\">\n<text x=\"%s\" y=\"%s\" font-weight=\"bold\">%s</text>\n", n(x).c_str(),
                 n(y).c_str(), escaped(scene_.title).c_str());
    y += f * 2.0;
    for (const auto &[station, c] : colours_) {
        static const char *const SHAPES[] = {"marker", "round", "square", "rectangle", "obround"};
        const auto found = scene_.tools.find(station);
        const Footprint fp = found != scene_.tools.end() ? found->second : Footprint{};
        std::string what = "T" + std::to_string(station) + " " + SHAPES[static_cast<int>(fp.shape)];
        if (fp.shape != Footprint::Shape::marker) what += " " + n(fp.size_x) + (fp.size_x != fp.size_y ? " x " + n(fp.size_y) : "");
        const auto count = extent_.strokes.find(station);
        const long long n_strokes = count != extent_.strokes.end() ? count->second : 0;
        line(c.c_str(), what + ": " + std::to_string(n_strokes) + (n_strokes == 1 ? " stroke" : " strokes"));
    }
    if (extent_.laser) {
        line(LASER_COLOUR, "laser cut, arrow: its way");
        line(nullptr, "ring: pierce; dashed: compensation side");
    }
    line(nullptr, "thin grey: travel to strokes, cuts");
    line(nullptr, "dashed grey: positioning");
    if (extent_.stops > 0) line("#000", "stop: " + std::to_string(extent_.stops));
    if (extent_.trap_doors > 0) line(nullptr, "open square: trap door: " + std::to_string(extent_.trap_doors));
    if (extent_.sides > 0) line(nullptr, "dashed: after operator stop (flip, turn)");
    for (int side = 1; side <= extent_.sides && side <= static_cast<int>(scene_.turns.size()); ++side) {
        line(nullptr, "stop " + std::to_string(side) + ": " + turn_text(scene_.turns[static_cast<std::size_t>(side - 1)]));
    }
    if (!scene_.turns.empty()) line(nullptr, "long dashes: the sheet as turned");
    line(nullptr, "below the sheet: clamps");
    if (!check_.zones().empty()) line(nullptr, "pale red: the zones they keep clear");
    if (extent_.offending > 0) line(HAZARD_COLOUR, "in a clamp zone or off sheet");
    if (extent_.regrips > 0) line(nullptr, "dashed clamps: after a re-grip");
    line(nullptr, "triangle: load position");
    std::fprintf(out_, "</g>\n</svg>\n");
}

}  // namespace plot
