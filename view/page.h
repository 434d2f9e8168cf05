// page.h - the page that walks through a program: one self-contained HTML
// file holding the program's text, its events, the block map and what was
// found wrong, with the page's own style and script (view/assets/), which
// draw the sheet on a canvas and link the drawing and the text both ways.
// Nothing is fetched when the page opens.
//
// A sink of the control model's events, like the plot: the events are packed
// as they come (view/event_stream.h), the text is copied from the program's
// file when the page is written.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "nc/event.h"
#include "nc/sheet_frame.h"
#include "plot/svg_plot.h"
#include "stats/event_time.h"
#include "view/event_stream.h"
#include "view/step_names.h"

namespace view {

// What the page marks on the drawing, on its line and in its panel of
// findings: a difference from the job, a warning of a check.
struct Finding {
    long long line = 0;      // the program's line, 0: none
    bool placed = false;     // x and y name a place
    double x = 0.0, y = 0.0; // mm, the control's coordinates (as the events')
    std::string text;
    std::string kind;        // "difference", "warning", ...: the page shows it
};

// The zone beside each clamp where the punch must not work, until the job
// names its own: this wide along X about the clamp, this deep into the sheet
// from its clamped edge.
inline constexpr double DEFAULT_CLAMP_ZONE_WIDTH = 100.0;
inline constexpr double DEFAULT_CLAMP_ZONE_DEPTH = 40.0;

struct PageScene {
    plot::Scene scene;               // title, sheet, clamps, load position, footprints
    bool inch = false;               // the program's lengths are inches (the status shows both)
    double clamp_zone_width = DEFAULT_CLAMP_ZONE_WIDTH;
    double clamp_zone_depth = DEFAULT_CLAMP_ZONE_DEPTH;
    std::string program_name;        // as the status bar names it
};

class Page {
public:
    Page(PageScene scene, const stats::TimeModel &time);
    // The program's events, in order.
    void add(const nc::Event &e);
    // The block map: runs of lines in order, each with its step's name.
    void name_lines(long long first_line, const std::string &name);
    void add_finding(const Finding &f);

    // Writes the page to out; the program's text is read from program, from
    // its start.  Throws std::runtime_error when the program cannot be read.
    void write(std::FILE *out, std::FILE *program) const;

    long long events() const { return stream_.events(); }

private:
    PageScene scene_;
    const stats::TimeModel &time_;
    nc::SheetFrame frame_;
    EventStream stream_;
    StepNames names_;
    std::vector<Finding> findings_;
};

// Text as a JavaScript string literal, quotes included: valid UTF-8 kept,
// any other byte shown as U+FFFD, and "<" escaped so that no text can close
// the script it stands in.
void append_js_string(std::string &out, const std::string &text);

}  // namespace view
