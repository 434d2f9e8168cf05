// event_text.cpp - events in the words of the messages.
#include "verify/event_text.h"

#include <cmath>
#include <cstdio>

#include "nc/block_parser.h"
#include "nc/setup.h"

namespace verify {
namespace {

std::string trimmed(double value, int decimals) {
    char text[64];
    if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0.0;
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

std::string point(const char *x, double xv, const char *y, double yv, bool inch) {
    return std::string(x) + length_text(xv, inch) + " " + y + length_text(yv, inch);
}

std::string tool_text(const nc::Event &e, bool with_angle) {
    static const char *const M61X_WORDS[] = {"M610", "M611", "M613", "M615"};
    std::string t = " T" + std::to_string(e.tool.station);
    if (with_angle) t += " C" + trimmed(e.tool.angle, 3);
    if (e.tool.forming) t += " forming (M08)";
    if (e.tool.m61x > 0 && e.tool.m61x <= 3) t += std::string(" ") + M61X_WORDS[e.tool.m61x];
    return t;
}

std::string technology_text(const nc::Technology &t) {
    std::string text = t.m7x == 0 ? "no M7x" : "M7" + std::to_string(t.m7x);
    static const char *const MODE_WORDS[] = {"M28", "M27", "M34", "M35"};
    text += t.mode >= 0 && t.mode <= 3 ? std::string(" ") + MODE_WORDS[t.mode] : std::string(" no technology word");
    text += " S" + std::to_string(t.s) + " F" + trimmed(t.feed, 3);
    static const char *const HEAD_WORDS[] = {"no head word", "M124", "M122", "M121", "M123"};
    text += std::string(" head ") + (t.head >= -2 && t.head <= 2 ? HEAD_WORDS[t.head + 2] : "?");
    if (t.compensation == nc::Compensation::left) text += " LAL/";
    if (t.compensation == nc::Compensation::right) text += " LAR/";
    return text;
}

std::string junction_text(nc::Junction j) {
    switch (j) {
    case nc::Junction::smooth: return " after M21";
    case nc::Junction::corner: return " after M22";
    case nc::Junction::none:
    case nc::Junction::either: break;
    }
    return "";
}

}  // namespace

std::string length_text(double mm, bool inch) { return inch ? trimmed(mm / nc::MM_PER_INCH, 4) : trimmed(mm, 3); }

std::string event_text(const nc::Event &e, bool inch, bool with_angle, const nc::TextTable *texts) {
    const auto text_of = [&]() -> std::string {
        if (texts == nullptr || e.text < 0) return "";
        return " \"" + nc::shown_text(texts->text(e.text)) + "\"";
    };
    using nc::EventKind;
    switch (e.kind) {
    case EventKind::stroke: return "stroke at " + point("X", e.x, "Y", e.y, inch) + tool_text(e, with_angle);
    case EventKind::nibble:
        if (e.shape == nc::Shape::line) {
            return "nibbled line from " + point("X", e.x0, "Y", e.y0, inch) + " to " + point("X", e.x, "Y", e.y, inch) +
                   " step " + length_text(e.step, inch) + tool_text(e, with_angle);
        }
        return std::string(e.shape == nc::Shape::circle ? "nibbled circle" : "nibbled arc") + " about " +
               point("X", e.xc, "Y", e.yc, inch) + " radius " + length_text(e.radius, inch) + " from " +
               point("X", e.x0, "Y", e.y0, inch) + " sweep " + trimmed(e.sweep, 3) + " step " +
               length_text(e.step, inch) + tool_text(e, with_angle);
    case EventKind::pierce: return "laser start at " + point("X", e.x, "Y", e.y, inch) + " (" + technology_text(e.technology) + ")";
    case EventKind::laser:
        switch (e.shape) {
        case nc::Shape::line:
            return "laser line to " + point("X", e.x, "Y", e.y, inch) + " F" + trimmed(e.technology.feed, 3) +
                   junction_text(e.technology.junction);
        case nc::Shape::circle:
            return std::string("laser circle about ") + point("X", e.xc, "Y", e.yc, inch) +
                   (e.sweep > 0 ? " counter-clockwise" : " clockwise") + " F" + trimmed(e.technology.feed, 3) +
                   junction_text(e.technology.junction);
        case nc::Shape::arc:
            return "laser arc to " + point("X", e.x, "Y", e.y, inch) + " radius " + length_text(e.radius, inch) +
                   " sweep " + trimmed(e.sweep, 2) + " F" + trimmed(e.technology.feed, 3) +
                   junction_text(e.technology.junction);
        }
        break;
    case EventKind::cut_end: return "end of the cut (LED/DX0DY0)";
    case EventKind::move: {
        static const char *const PURPOSES[] = {"positioning", "park (M05)", "unload (M40)", "MOV/"};
        std::string text = std::string(PURPOSES[static_cast<int>(e.purpose)]) + " to " + point("X", e.x, "Y", e.y, inch);
        if ((e.checks & nc::CHECK_TOOL) != 0) text += tool_text(e, with_angle);
        return text;
    }
    case EventKind::copy: {
        char name[32];
        std::snprintf(name, sizeof name, "PAT%02d", e.number);
        return "copy " + std::to_string(e.count + 1) + " of " + name + " at " + point("X", e.x, "Y", e.y, inch);
    }
    case EventKind::stop: return "stop (M00)";
    case EventKind::regrip:
        if (e.number == 1) return "re-grip at " + point("X", e.x0, "Y", e.y0, inch) + " by REP/DX" + length_text(e.value, inch);
        return "re-grip at " + point("X", e.x0, "Y", e.y0, inch) + " by M41 ... M42, the clamps back by X" +
               length_text(e.value, inch) + ", off the sheet by Y" + length_text(e.value3, inch) + ", returning Y" +
               length_text(e.value2, inch);
    case EventKind::frame: return "FRM/X" + length_text(e.x, inch);
    case EventKind::trap_door: return "trap door at " + point("X", e.x, "Y", e.y, inch);
    case EventKind::dwell: return "dwell of " + trimmed(e.value, 3);
    case EventKind::feed_range: return "feed range M" + std::to_string(e.number);
    case EventKind::sheet:
        return "material block B" + std::to_string(e.number) + " H" + length_text(e.value, inch) + " " +
               point("X", e.x, "Y", e.value2, inch);
    case EventKind::parameter_line: return "a line of LASER.PAR" + text_of();
    case EventKind::tool_change:
        return "station T" + std::to_string(e.tool.station) + " taken with the index at " + trimmed(e.value, 3);
    case EventKind::index_turn: return "C" + trimmed(e.tool.angle, 3);
    case EventKind::head_up: return "laser head up (M23)";
    case EventKind::comment: return "comment" + text_of();
    case EventKind::user_text: return "free NC text" + text_of();
    case EventKind::program_start: return e.number == 1 ? "program start \"+ \" (EIA)" : "program start \"% \" (ISO)";
    case EventKind::program_number: return "program number O" + std::to_string(e.number);
    case EventKind::laser_work: return "laser work (M20)";
    case EventKind::rewind: return "rewind (M30)";
    case EventKind::program_end: return "program end with the index at " + trimmed(e.tool.angle, 3);
    case EventKind::format:
        return e.number == nc::FORMAT_AFTER_END ? "a line end after the closing \"%\""
                                                : "a line ended by a line feed alone, not CR LF";
    }
    return "?";
}

}  // namespace verify
