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

}  // namespace

std::string table(const Statistics &s, const Speeds &speeds) {
    std::string t;
    t += row("Blocks", std::to_string(s.blocks));
    t += row("Strokes", std::to_string(s.strokes) + " (rows, circles and patterns expanded)");
    for (const auto &[station, c] : s.stations) {
        std::string value = std::to_string(c.strokes);
        if (c.nibble_paths > 0) {
            value += ", nibbling " + count(c.nibble_strokes, "stroke", "strokes") + " on " +
                     count(c.nibble_paths, "path", "paths") + ", " + number(c.nibble_length) + " mm";
        }
        t += row("  T" + std::to_string(station), value);
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
    t += row("Re-grips", std::to_string(s.regrips));
    t += row("Stops", std::to_string(s.stops));
    t += row("Trap door", std::to_string(s.trap_doors));
    t += row("Positionings", std::to_string(s.moves));
    t += row("Travel without work", number(s.travel / 1000.0, 3) + " m");
    t += row("Estimated machine time", duration(s.total_seconds) + " (the parts below; tool changes, index turns,");
    t += row("", "pierces, re-grips and stops not included)");
    t += row("  punching", duration(s.punching_seconds) + " at " + number(speeds.strokes_per_minute) + " strokes a minute");
    t += row("  positioning", duration(s.travel_seconds) + " at " + number(speeds.positioning_speed) + " m a minute");
    t += row("  laser", duration(s.laser_seconds) + " at the programmed feeds (F, " +
                            (speeds.inch ? "inches" : "mm") + " a minute)");
    t += row("  dwell", duration(s.dwell));
    return t;
}

std::string json(const Statistics &s, const Speeds &speeds) {
    std::string j = "{\n";
    auto field = [&j](const char *name, const std::string &value, bool last = false) {
        j += std::string("  \"") + name + "\": " + value + (last ? "\n" : ",\n");
    };
    field("blocks", std::to_string(s.blocks));
    field("strokes", std::to_string(s.strokes));
    std::string stations = "[";
    for (const auto &[station, c] : s.stations) {
        if (stations.size() > 1) stations += ", ";
        stations += "{\"station\": " + std::to_string(station) + ", \"strokes\": " + std::to_string(c.strokes) +
                    ", \"nibble_strokes\": " + std::to_string(c.nibble_strokes) + ", \"nibble_paths\": " +
                    std::to_string(c.nibble_paths) + ", \"nibble_length_mm\": " + number(c.nibble_length, 3) + "}";
    }
    field("stations", stations + "]");
    field("nibble_paths", std::to_string(s.nibble_paths));
    field("nibble_strokes", std::to_string(s.nibble_strokes));
    field("nibble_length_mm", number(s.nibble_length, 3));
    field("tool_changes", std::to_string(s.tool_changes));
    field("index_turns", std::to_string(s.index_turns));
    field("laser_elements", std::to_string(s.laser_elements));
    field("pierces", std::to_string(s.pierces));
    field("laser_length_mm", number(s.laser_length, 3));
    std::string technologies = "[";
    for (const auto &[words, c] : s.technologies) {
        if (technologies.size() > 1) technologies += ", ";
        technologies += "{\"words\": " + quoted(words) + ", \"pierces\": " + std::to_string(c.pierces) +
                        ", \"elements\": " + std::to_string(c.elements) + ", \"length_mm\": " + number(c.length, 3) +
                        ", \"feed\": " + number(c.feed, 3) + ", \"time_s\": " + number(c.minutes * 60.0, 3) + "}";
    }
    field("technologies", technologies + "]");
    field("pattern_calls", std::to_string(s.pattern_calls));
    field("pattern_copies", std::to_string(s.pattern_copies));
    field("regrips", std::to_string(s.regrips));
    field("stops", std::to_string(s.stops));
    field("trap_doors", std::to_string(s.trap_doors));
    field("moves", std::to_string(s.moves));
    field("travel_mm", number(s.travel, 3));
    field("dwell_s", number(s.dwell, 3));
    field("strokes_per_minute", number(speeds.strokes_per_minute, 3));
    field("positioning_speed_m_per_min", number(speeds.positioning_speed, 3));
    field("time_s", "{\"punching\": " + number(s.punching_seconds, 3) + ", \"positioning\": " + number(s.travel_seconds, 3) +
                        ", \"laser\": " + number(s.laser_seconds, 3) + ", \"dwell\": " + number(s.dwell, 3) +
                        ", \"total\": " + number(s.total_seconds, 3) + "}",
          true);
    return j + "}\n";
}

}  // namespace stats
