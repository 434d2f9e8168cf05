// svg_plot.h - a drawing of what a program makes the machine do, as SVG:
// the sheet with its clamps and load position, every stroke as the tool's
// footprint or a marked point, the nibbled paths with the footprints of
// their strokes, the laser cuts with their direction, pierce points and
// compensation side, the positionings, the travel between strokes and
// between cuts as thin lines, stops and trap doors, the work after an
// operator stop (a flip or a turn) drawn hollow, and the re-grips as the
// clamps' new hold on the sheet, the zone each clamp keeps clear, and in
// red every stroke or cut that reaches into a zone or lies off the sheet.
// A sink of the control model's events, fed
// twice: once to measure, once to draw.
//
// Strokes one after the other with one footprint are one path through
// them, drawn thin (the travel), with the footprint as a marker at each of
// its points but the first (the place the tool came from): a stroke costs
// its relative move, some ten bytes, so a program of a million strokes
// stays a drawing that renderers take.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "nc/event.h"
#include "nc/sheet_frame.h"
#include "safety/check.h"
#include "safety/layout.h"

namespace plot {

// The punch's footprint at index 0; marker: not known, a marker is drawn.
struct Footprint {
    enum class Shape { marker, round, square, rectangle, obround } shape = Shape::marker;
    double size_x = 0.0, size_y = 0.0;   // mm
};

// How the operator puts the sheet back at a stop he is told about.
enum class SheetTurn : std::uint8_t { flip, clockwise, half, counterclockwise };

// What the plot is drawn on.
struct Scene {
    std::string title;
    double sheet_x = 0.0, sheet_y = 0.0; // the sheet's size, mm
    std::vector<double> clamps;          // X of the clamps
    double load_x = 0.0, load_y = 0.0;   // the load position
    std::map<int, Footprint> tools;      // by station
    // At each stop the operator is told about, in order: how he puts the
    // sheet back (the job's flips and turns); empty when not known.
    std::vector<SheetTurn> turns;
    safety::Layout safety;               // the clamps' zones and what the check takes
};

// The sheet's size as it lies after the operator's side-th turn (1, 2, ...):
// a quarter turn lays it the other way.
void turned_size(const Scene &scene, int side, double &size_x, double &size_y);
// "a quarter turn clockwise", "flipped", ...
const char *turn_text(SheetTurn turn);

// The first pass: the extent of the drawing and what it holds.
class Extent {
public:
    explicit Extent(const Scene &scene);
    void add(nc::Event e);

    double min_x, min_y, max_x, max_y;
    std::set<int> stations;              // stations that work
    std::map<int, long long> strokes;    // by station, nibbling included
    bool laser = false;
    long long regrips = 0;
    long long stops = 0, trap_doors = 0;
    int sides = 0;                       // operator stops that may flip or turn the sheet
    long long offending = 0;             // events that strike a clamp's zone or lie off the sheet
    // The footprints drawn: station, index angle, hollow (after an operator stop).
    std::set<std::tuple<int, double, bool>> footprints;

    // The angle a station's footprint is drawn at: its index angle, or 0
    // for a footprint that looks the same turned (round, a marked point).
    double drawn_angle(int station, double angle) const;

private:
    void cover(double x, double y, double margin = 0.0);
    const Scene &scene_;
    nc::SheetFrame frame_;
    safety::Check check_;
    double margin_ = 5.0;
};

// The second pass: the SVG, written as the events come.
class SvgPlot {
public:
    // Writes the head of the SVG (size, symbols, the sheet) to out.
    SvgPlot(std::FILE *out, const Scene &scene, const Extent &extent);
    void add(nc::Event e);
    // The legend and the end of the SVG.
    void finish();

    // What was drawn, by class.
    long long strokes = 0, nibble_strokes = 0, nibble_paths = 0, laser_elements = 0, pierces = 0, moves = 0;

private:
    // A stroke of e's tool at (x, y): a point more on the path of strokes.
    void stroke_at(const nc::Event &e, double x, double y, const char *kind);
    // The path of strokes written out; the next stroke starts another.
    void end_strokes();
    // A stroke that strikes a clamp's zone or lies off the sheet, ringed in red.
    void offending_at(const nc::Event &e, double x, double y, const char *kind);
    // The clamps' zones, where the clamps hold the sheet now.
    void zones(const char *kind);
    // The size of the legend's text, and where the legend stands.
    double font() const;
    double legend_x() const;
    void laser_element(const nc::Event &e, bool offending);
    std::string colour(int station) const;

    std::FILE *out_;
    const Scene &scene_;
    const Extent &extent_;
    nc::SheetFrame frame_;
    std::map<int, std::string> colours_;
    safety::Check check_;
    std::map<std::tuple<int, double, bool>, int> markers_;  // footprint -> its marker's number
    double grip_shift_ = 0.0;   // the clamps' hold moved along the sheet by the re-grips
    long long regrip_ = 0;
    // The path of strokes being written: its marker, its text, and the last
    // place in hundredths of a millimetre (moves are written relative to it).
    int path_marker_ = -1;
    const char *path_kind_ = "";
    std::string path_;
    long long path_x_ = 0, path_y_ = 0;
    double x_ = 0.0, y_ = 0.0;  // where the tool stands on the sheet
};

}  // namespace plot
