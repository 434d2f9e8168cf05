// report.cpp - the statistics written out.
#include "stats/report.h"

#include <cmath>
#include <cstdio>

namespace stats {
namespace {

std::string number(double value, int decimals = 2) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string duration(double seconds) {
    const long long whole = std::llround(seconds);
    if (whole < 60) return number(seconds, 1) + " s";
    const long long hours = whole / 3600, minutes = whole / 60 % 60, rest = whole % 60;
    std::string text = hours > 0 ? std::to_string(hours) + " h " : "";
    return text + std::to_string(minutes) + " min " + std::to_string(rest) + " s";
}

// "1 pierce", "2 pierces".
std::string count(long long n, const char *one, const char *many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

std::string row(const std::string &name, const std::string &value) {
    std::string line = name;
    if (line.size() < 34) line.append(34 - line.size(), ' ');
    return line + value + "\n";
}

std::string quoted(const std::string &text) {
    std::string q = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') q += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            q += escaped;
            continue;
        }
        q += c;
    }
    return q + "\"";
}

// A part of the time: its name, what it counts, and the keys it came from.
struct PartText {
    const char *name;       // in the table
    const char *json;       // in the JSON
    const char *one, *many; // what it counts
};

constexpr PartText PARTS[PART_COUNT] = {
    {"punching", "punching", "stroke", "strokes"},
    {"positioning", "positioning", "move", "moves"},
    {"tool changes", "tool_changes", "tool change", "tool changes"},
    {"index", "index", "turn", "turns"},
    {"pierces", "pierces", "pierce", "pierces"},
    {"cutting", "cutting", "laser element", "laser elements"},
    {"re-grips", "regrips", "re-grip", "re-grips"},
    {"stops", "stops", "stop", "stops"},
    {"flips and turns", "turns", "flip or turn", "flips and turns"},
    {"dwells", "dwells", "dwell", "dwells"},
};

// The keys a part's time came from, with their values.
std::string keys_of(int part, const MachineTimes &m) {
    switch (part) {
    case PART_PUNCHING: return "strokes_per_minute " + number(m.strokes_per_minute);
    case PART_POSITIONING:
        return "positioning_speed " + number(m.positioning_speed) + " m/min, acceleration " + number(m.acceleration) +
               " m/s2";
    case PART_TOOL_CHANGES:
        return "tool_change_time " + number(m.tool_change_time) + " s, turret_step_time " + number(m.turret_step_time) +
               " s of " + std::to_string(m.turret_stations) + " turret_stations";
    case PART_INDEX: return "index_turn_time " + number(m.index_turn_time) + " s a whole turn";
    case PART_PIERCES:
        return "pierce_time " + number(m.pierce_time) + " s" +
               (m.pierce_times.empty() ? "" : ", or the technology's own");
    case PART_CUTTING:
        return m.inch ? "the programmed feeds, F times 2.54 in mm a minute" : "the programmed feeds, F in mm a minute";
    case PART_REGRIPS: return "regrip_time " + number(m.regrip_time) + " s";
    case PART_STOPS: return "stop_time " + number(m.stop_time) + " s";
    case PART_TURNS: return "turn_time " + number(m.turn_time) + " s";
    case PART_DWELLS: return "as programmed";
    default: return "";
    }
}

std::string point(double x, double y) { return "X" + number(x, 3) + " Y" + number(y, 3); }

}  // namespace

std::string table(const Statistics &s, const MachineTimes &m) {
    std::string t;
    t += row("Blocks", std::to_string(s.blocks));
    t += row("Strokes", std::to_string(s.strokes) + " (rows, circles and patterns expanded)");
    for (const auto &[station, c] : s.stations) {
        std::string value = std::to_string(c.strokes);
        if (c.nibble_paths > 0) {
            value += ", nibbling " + count(c.nibble_strokes, "stroke", "strokes") + " on " +
                     count(c.nibble_paths, "path", "paths") + ", " + number(c.nibble_length) + " mm";
        }
        t += row("  T" + std::to_string(station), value + ", " + duration(c.seconds));
    }
    t += row("Nibbling", count(s.nibble_strokes, "stroke", "strokes") + " on " + count(s.nibble_paths, "path", "paths") +
                             ", " + number(s.nibble_length) + " mm");
    t += row("Tool changes", std::to_string(s.tool_changes) + " (the first station selected not counted)");
    t += row("Index turns", std::to_string(s.index_turns));
    t += row("Laser", number(s.laser_length) + " mm in " + count(s.laser_elements, "element", "elements") + ", " +
                          count(s.pierces, "pierce", "pierces"));
    for (const auto &[words, c] : s.technologies) {
        t += row("  " + words, number(c.length) + " mm, " + count(c.pierces, "pierce", "pierces") + ", " +
                                   duration(c.minutes * 60.0));
    }
    t += row("Pattern calls", std::to_string(s.pattern_calls) + ", " + count(s.pattern_copies, "copy", "copies"));
    for (const auto &[pattern, c] : s.patterns) {
        char name[24];
        std::snprintf(name, sizeof name, "  PAT%02d", pattern);
        t += row(name, count(c.calls, "call", "calls") + ", " + count(c.copies, "copy", "copies") + ", " +
                           count(c.strokes, "stroke", "strokes"));
    }
    t += row("Re-grips", std::to_string(s.regrips));
    t += row("Stops", std::to_string(s.stops) + (s.turns > 0 ? " (" + std::to_string(s.turns) + " to flip or turn the sheet)" : ""));
    t += row("Trap door", std::to_string(s.trap_doors));
    t += row("Positionings", std::to_string(s.moves));
    t += row("Travel without work", number(s.travel / 1000.0, 3) + " m");
    if (s.longest.length > 0.0) {
        t += row("Longest positioning", number(s.longest.length) + " mm at line " + std::to_string(s.longest.line) +
                                            ", " + point(s.longest.x0, s.longest.y0) + " to " +
                                            point(s.longest.x, s.longest.y) + ", " + duration(s.longest.seconds));
    }
    t += row("Strokes in a clamp's zone", std::to_string(s.strokes_in_clamp_zones) + " (nibbling strokes too)");
    t += row("Strokes off the sheet", std::to_string(s.strokes_off_sheet));
    t += row("Laser elements into a zone", std::to_string(s.cuts_in_clamp_zones));
    t += row("Laser elements off the sheet", std::to_string(s.cuts_off_sheet));
    t += row("Estimated machine time", duration(s.total_seconds) + ", made of:");
    for (int p = 0; p < PART_COUNT; ++p) {
        t += row(std::string("  ") + PARTS[p].name, duration(s.part_seconds[p]) + ": " +
                                                         count(s.part_count[p], PARTS[p].one, PARTS[p].many) +
                                                         (p == PART_DWELLS ? ", " : " at ") +
                                                         keys_of(p, m));
    }
    return t;
}

std::string json(const Statistics &s, const MachineTimes &m) {
    std::string j = "{\n";
    auto field = [&j](const char *name, const std::string &value, bool last = false) {
        j += std::string("  \"") + name + "\": " + value + (last ? "\n" : ",\n");
    };
    const auto list = [](const auto &items, const auto &one) {
        std::string text = "[";
        for (const auto &item : items) text += (text.size() > 1 ? ", " : "") + one(item);
        return text + "]";
    };
    field("blocks", std::to_string(s.blocks));
    field("strokes", std::to_string(s.strokes));
    field("stations", list(s.stations, [](const auto &item) {
              const auto &[station, c] = item;
              return "{\"station\": " + std::to_string(station) + ", \"strokes\": " + std::to_string(c.strokes) +
                     ", \"nibble_strokes\": " + std::to_string(c.nibble_strokes) + ", \"nibble_paths\": " +
                     std::to_string(c.nibble_paths) + ", \"nibble_length_mm\": " + number(c.nibble_length, 3) +
                     ", \"time_s\": " + number(c.seconds, 3) + "}";
          }));
    field("nibble_paths", std::to_string(s.nibble_paths));
    field("nibble_strokes", std::to_string(s.nibble_strokes));
    field("nibble_length_mm", number(s.nibble_length, 3));
    field("tool_changes", std::to_string(s.tool_changes));
    field("index_turns", std::to_string(s.index_turns));
    field("laser_elements", std::to_string(s.laser_elements));
    field("pierces", std::to_string(s.pierces));
    field("laser_length_mm", number(s.laser_length, 3));
    field("technologies", list(s.technologies, [](const auto &item) {
              const auto &[words, c] = item;
              return "{\"words\": " + quoted(words) + ", \"pierces\": " + std::to_string(c.pierces) +
                     ", \"elements\": " + std::to_string(c.elements) + ", \"length_mm\": " + number(c.length, 3) +
                     ", \"feed\": " + number(c.feed, 3) + ", \"time_s\": " + number(c.minutes * 60.0, 3) + "}";
          }));
    field("pattern_calls", std::to_string(s.pattern_calls));
    field("pattern_copies", std::to_string(s.pattern_copies));
    field("patterns", list(s.patterns, [](const auto &item) {
              const auto &[pattern, c] = item;
              return "{\"pattern\": " + std::to_string(pattern) + ", \"calls\": " + std::to_string(c.calls) +
                     ", \"copies\": " + std::to_string(c.copies) + ", \"strokes\": " + std::to_string(c.strokes) + "}";
          }));
    field("regrips", std::to_string(s.regrips));
    field("stops", std::to_string(s.stops));
    field("turns", std::to_string(s.turns));
    field("trap_doors", std::to_string(s.trap_doors));
    field("moves", std::to_string(s.moves));
    field("dwells", std::to_string(s.dwells));
    field("travel_mm", number(s.travel, 3));
    field("longest_positioning",
          s.longest.length > 0.0
              ? "{\"length_mm\": " + number(s.longest.length, 3) + ", \"line\": " + std::to_string(s.longest.line) +
                    ", \"from\": [" + number(s.longest.x0, 3) + ", " + number(s.longest.y0, 3) + "], \"to\": [" +
                    number(s.longest.x, 3) + ", " + number(s.longest.y, 3) + "], \"time_s\": " +
                    number(s.longest.seconds, 3) + "}"
              : std::string("null"));
    field("strokes_in_clamp_zones", std::to_string(s.strokes_in_clamp_zones));
    field("strokes_off_sheet", std::to_string(s.strokes_off_sheet));
    field("laser_elements_in_clamp_zones", std::to_string(s.cuts_in_clamp_zones));
    field("laser_elements_off_sheet", std::to_string(s.cuts_off_sheet));
    field("dwell_s", number(s.dwell, 3));
    field("machine", "{\"strokes_per_minute\": " + number(m.strokes_per_minute, 3) +
                         ", \"positioning_speed\": " + number(m.positioning_speed, 3) +
                         ", \"acceleration\": " + number(m.acceleration, 3) +
                         ", \"tool_change_time\": " + number(m.tool_change_time, 3) +
                         ", \"turret_step_time\": " + number(m.turret_step_time, 3) +
                         ", \"turret_stations\": " + std::to_string(m.turret_stations) +
                         ", \"index_turn_time\": " + number(m.index_turn_time, 3) +
                         ", \"pierce_time\": " + number(m.pierce_time, 3) +
                         ", \"regrip_time\": " + number(m.regrip_time, 3) + ", \"stop_time\": " + number(m.stop_time, 3) +
                         ", \"turn_time\": " + number(m.turn_time, 3) + "}");
    std::string parts = "[", seconds = "{";
    for (int p = 0; p < PART_COUNT; ++p) {
        parts += std::string(p > 0 ? ", " : "") + "{\"part\": \"" + PARTS[p].json + "\", \"count\": " +
                 std::to_string(s.part_count[p]) + ", \"time_s\": " + number(s.part_seconds[p], 3) +
                 ", \"from\": " + quoted(keys_of(p, m)) + "}";
        seconds += std::string(p > 0 ? ", " : "") + "\"" + PARTS[p].json + "\": " + number(s.part_seconds[p], 3);
    }
    field("time_parts", parts + "]");
    field("time_s", seconds + ", \"total\": " + number(s.total_seconds, 3) + "}", true);
    return j + "}\n";
}

}  // namespace stats
