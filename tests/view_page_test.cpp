// The page's data as pelk-post packs it (view/): the events and the block
// map read back as the page's script reads them, text that cannot break out
// of its script, the page whole; the time of each event adding up to the
// statistics' estimate; where the sheet stands for the plot and the page.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "job/job_reader.h"
#include "plot/svg_plot.h"
#include "stats/event_time.h"
#include "stats/statistics.h"
#include "tests/support/host_fixture.h"
#include "tests/support/readback.h"
#include "view/event_stream.h"
#include "view/page.h"
#include "view/step_names.h"

namespace {

// ---- Reading the packed data back, as page.js does ---------------------------------

struct Reader {
    const std::string &bytes;
    std::size_t at = 0;
    bool more() const { return at < bytes.size(); }
    std::uint8_t byte() { return static_cast<std::uint8_t>(bytes.at(at++)); }
    std::uint64_t number() {
        std::uint64_t v = 0;
        for (int shift = 0;; shift += 7) {
            const std::uint8_t b = byte();
            v |= static_cast<std::uint64_t>(b & 0x7f) << shift;
            if ((b & 0x80) == 0) return v;
        }
    }
    std::int64_t signed_number() {
        const std::uint64_t z = number();
        return (z & 1) != 0 ? -static_cast<std::int64_t>((z + 1) / 2) : static_cast<std::int64_t>(z / 2);
    }
};

struct Decoded {
    int kind;
    long long line, call;
    double x0, y0, x, y, seconds;
    int station;
    double shift_x;
    int side;
};

// The events of a stream: their places (mm), lines, times, the station in
// force and where the sheet stood.  Kind fields are skipped as page.js reads them.
std::vector<Decoded> decoded(const std::string &bytes) {
    Reader r{bytes};
    std::vector<Decoded> out;
    long long line = 0;
    std::int64_t x = 0, y = 0, hundredths = 0;
    int station = 0, side = 0;
    double shift_x = 0.0;
    while (r.more()) {
        const std::uint8_t head = r.byte();
        const int kind = head & 0x1f;
        if (kind == view::R_TOOL) {
            station = static_cast<int>(r.signed_number());
            r.signed_number();
            r.number();
            continue;
        }
        if (kind == view::R_TECHNOLOGY) {
            for (int k = 0; k < 5; ++k) r.signed_number();
            r.number();
            continue;
        }
        if (kind == view::R_SHEET_PLACE) {
            shift_x = static_cast<double>(r.signed_number()) / 1000.0;
            r.signed_number();
            side = static_cast<int>(r.number());
            continue;
        }
        Decoded d{};
        d.kind = kind;
        line += r.signed_number();
        d.line = line;
        if ((head & view::OWN_START) != 0) {
            x += r.signed_number();
            y += r.signed_number();
        }
        d.x0 = static_cast<double>(x) / 1000.0;
        d.y0 = static_cast<double>(y) / 1000.0;
        if ((head & view::STAYS) == 0) {
            x += r.signed_number();
            y += r.signed_number();
        }
        d.x = static_cast<double>(x) / 1000.0;
        d.y = static_cast<double>(y) / 1000.0;
        hundredths += static_cast<std::int64_t>(r.number());
        d.seconds = static_cast<double>(hundredths) / 100.0;
        d.call = (head & view::IN_COPY) != 0 ? line + r.signed_number() : 0;
        switch (kind) {
        case view::R_NIBBLE:
        case view::R_LASER: {
            const auto shape = r.number();
            if (kind == view::R_NIBBLE) r.number();
            if (shape != 0) {
                r.signed_number();
                r.signed_number();
                r.number();
                r.signed_number();
            }
            break;
        }
        case view::R_MOVE: r.number(); break;
        case view::R_COPY: r.signed_number(); r.signed_number(); break;
        case view::R_STOP:
        case view::R_FEED_RANGE:
        case view::R_PARAMETER:
        case view::R_DWELL: r.signed_number(); break;
        case view::R_REGRIP: for (int k = 0; k < 4; ++k) r.signed_number(); break;
        case view::R_SHEET: for (int k = 0; k < 3; ++k) r.signed_number(); break;
        default: break;
        }
        d.station = station;
        d.shift_x = shift_x;
        d.side = side;
        out.push_back(d);
    }
    return out;
}

std::vector<std::string> names_of(const std::string &bytes, std::size_t runs, std::vector<long long> &first_lines) {
    Reader r{bytes};
    std::vector<std::vector<std::string>> shapes;
    std::vector<std::string> names;
    long long line = 0;
    std::size_t last_shape = SIZE_MAX;
    std::vector<std::int64_t> last;
    for (std::size_t k = 0; k < runs; ++k) {
        line += static_cast<long long>(r.number());
        const std::size_t shape = r.number();
        if (shape == shapes.size()) {
            const std::size_t n = r.number();
            const std::string text = bytes.substr(r.at, n);
            r.at += n;
            std::vector<std::string> parts(1);
            for (char c : text) {
                if (c == '\x01') parts.emplace_back();
                else parts.back() += c;
            }
            shapes.push_back(parts);
        }
        const auto &parts = shapes.at(shape);
        std::vector<std::int64_t> now;
        std::string name = parts[0];
        for (std::size_t j = 1; j < parts.size(); ++j) {
            now.push_back((shape == last_shape ? last[j - 1] : 0) + r.signed_number());
            name += std::to_string(now.back()) + parts[j];
        }
        last = now;
        last_shape = shape;
        first_lines.push_back(line);
        names.push_back(name);
    }
    return names;
}

// ---- The events --------------------------------------------------------------------------

TEST(ViewPage, EventsComeBackAtTheirPlacesLinesAndTimes) {
    // A row, a tool change that stays where the tool is, a pattern's copies
    // and a laser cut; the places to the micrometre, the time as it adds up.
    const std::string program = crlf(
        "% \nX10.01Y20T1\nLAA/12.5 0 2\nT3C45\nX100Y100\nPAT01/\nDX5\nEND01\nMGR/01 R 50 2\n"
        "X300Y100F2000\nX400F2000\nLED/DX0DY0\n%");
    const std::vector<nc::Event> events = program_events(program);
    const stats::TimeModel time{stats::MachineTimes{}};
    view::EventStream stream;
    for (const nc::Event &e : events) stream.add(e, time.seconds(e), 0.0, 0.0, 0);
    const std::vector<Decoded> back = decoded(stream.bytes());
    ASSERT_EQ(back.size(), events.size());
    double seconds = 0.0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE("event " + std::to_string(i));
        const nc::Event &e = events[i];
        seconds += time.seconds(e);
        EXPECT_EQ(back[i].line, e.where.line);
        EXPECT_EQ(back[i].call, e.where.call_line);
        EXPECT_NEAR(back[i].x, e.x, 0.0005);
        EXPECT_NEAR(back[i].y, e.y, 0.0005);
        EXPECT_NEAR(back[i].x0, e.x0, 0.0005);
        EXPECT_NEAR(back[i].seconds, seconds, 0.005 + 1e-9);
        if (e.kind == nc::EventKind::stroke) {
            EXPECT_EQ(back[i].station, e.tool.station);
        }
    }
    EXPECT_EQ(stream.events(), static_cast<long long>(events.size()));
}

TEST(ViewPage, ARowOfAMillionStrokesCostsAFewBytesAStroke) {
    const std::vector<nc::Event> events = program_events(crlf("% \nX10Y10T1\nLAA/12.5 0 99999\n%"));
    ASSERT_EQ(events.size(), 100003u);  // the start, the tool change, the strokes, the end
    view::EventStream stream;
    for (const nc::Event &e : events) stream.add(e, 0.2, 0.0, 0.0, 0);
    // The kind, the line, X by 12.5 mm, Y by nothing, the time.
    EXPECT_LE(stream.bytes().size(), 8u * events.size());
}

TEST(ViewPage, ThePlaceOnTheSheetFollowsTheFrameAndTheOperatorsStops) {
    // REP/ keeps the sheet's coordinates; the park after it, the frame, and
    // the unload stand at one place of the sheet; the operator's stop loads
    // the sheet again.
    const std::vector<nc::Event> events = program_events(
        crlf("% \nX500Y400T1\nREP/DX600\nX700Y400\nX2100Y600M05\nFRM/X1500\nX1500Y625M40\n"
             "(TURN THE SHEET 180 DEGREES AND RESTART)\nM00\nX100Y100\n%"));
    nc::SheetFrame frame;
    std::vector<nc::Event> placed;
    for (nc::Event e : events) {
        frame.place(e);
        placed.push_back(e);
    }
    auto at_line = [&](long long line) {
        for (const nc::Event &e : placed) {
            if (e.where.line == line && e.kind != nc::EventKind::tool_change) return e;
        }
        ADD_FAILURE() << "no event at line " << line;
        return nc::Event{};
    };
    EXPECT_DOUBLE_EQ(at_line(5).x, 2100.0);   // the park, in the sheet's coordinates
    EXPECT_DOUBLE_EQ(at_line(6).x, 2100.0);   // FRM/X1500 names that place 1500
    EXPECT_DOUBLE_EQ(at_line(7).x, 2100.0);   // the unload, X1500 of the new frame: the same place
    EXPECT_DOUBLE_EQ(at_line(7).y, 625.0);
    EXPECT_DOUBLE_EQ(at_line(10).x, 100.0);   // loaded again after the stop: the control's coordinates
    EXPECT_EQ(frame.side(), 1);
    // The explicit re-grip: the control's X moves with the open clamps.
    nc::SheetFrame explicit_frame;
    nc::Event last;
    for (nc::Event e : program_events(crlf("% \nX500Y400T1\nX500Y400M03\nM41\nDY50\nDX-600\nDY-50\nM42\nX100\n%"))) {
        explicit_frame.place(e);
        last = e;
    }
    EXPECT_DOUBLE_EQ(last.x, 700.0);
    EXPECT_DOUBLE_EQ(explicit_frame.shift_x(), 600.0);
}

class ViewSheet : public HostTest {};

TEST_F(ViewSheet, TheParkLiesAtTheLoadPositionWhicheverWayTheSheetWasRegripped) {
    // Two re-grips of 600 mm: the sheet's place under the load position is
    // 1200 mm further along, by the REP/ command as by the explicit
    // sequence; the unload after the frame block is at that place too.
    for (const char *type : {"1", "0"}) {
        SCOPED_TRACE(std::string("reposition_type ") + type);
        const job::Job job = job::parse_job(
            std::string(R"({"machine": {"post_processor": 7000, "loader_unloader": 1, "reposition_type": )") + type +
                R"(, "load_position": [1500, 600]},
                "sheet": {"size": [3000, 1500]}, "turret": [{"tool": 2, "station": 6}],
                "work": [{"hit": {"x": 500, "y": 400, "tool": 2}}, {"reposition": {"x": 500, "y": 400, "dx": 600}},
                         {"hit": {"x": 100, "y": 400, "tool": 2}}, {"reposition": {"x": 100, "y": 400, "dx": 600}},
                         {"hit": {"x": 50, "y": 450, "tool": 2}}]})",
            "/jobs");
        nc::SheetFrame frame;
        int parks = 0, unloads = 0;
        for (nc::Event e : program_events(posted_program(job))) {
            frame.place(e);
            if (e.kind != nc::EventKind::move) continue;
            if (e.purpose == nc::MovePurpose::park) {
                ++parks;
                EXPECT_NEAR(e.x, 1500.0 + 1200.0, 1e-9);
            }
            if (e.purpose == nc::MovePurpose::unload) {
                ++unloads;
                EXPECT_NEAR(e.x, 1500.0 + 1200.0, 1e-9);
            }
        }
        EXPECT_EQ(parks, 1);
        EXPECT_EQ(unloads, 1);
    }
}

TEST_F(ViewSheet, IsDrawnAsTheOperatorTurnsIt) {
    const job::Job job = job::read_job_file(source_path("tests/golden/sheet_flip_turn/job.json"));
    plot::Scene scene;
    scene.sheet_x = job.sheet.size_x;
    scene.sheet_y = job.sheet.size_y;
    // The job's flip, then its turns of kinds 0, 1 and 2 (its turn of kind 3
    // stops without telling the operator).
    scene.turns = {plot::SheetTurn::flip, plot::SheetTurn::clockwise, plot::SheetTurn::half,
                   plot::SheetTurn::counterclockwise};
    const struct {
        int side;
        double x, y;
    } sizes[] = {{0, 2500, 1250}, {1, 2500, 1250}, {2, 1250, 2500}, {3, 1250, 2500}, {4, 2500, 1250}};
    for (const auto &c : sizes) {
        double w = 0.0, h = 0.0;
        plot::turned_size(scene, c.side, w, h);
        EXPECT_EQ(w, c.x) << "after " << c.side;
        EXPECT_EQ(h, c.y) << "after " << c.side;
    }
    const std::vector<nc::Event> events = program_events(posted_program(job));
    plot::Extent extent(scene);
    for (const nc::Event &e : events) extent.add(e);
    EXPECT_EQ(extent.sides, 4);
    EXPECT_GE(extent.max_y, 2500.0) << "room for the sheet laid the other way";
    std::FILE *out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    plot::SvgPlot svg(out, scene, extent);
    for (const nc::Event &e : events) svg.add(e);
    svg.finish();
    std::rewind(out);
    std::string text;
    char piece[4096];
    for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, out)) > 0;) text.append(piece, n);
    std::fclose(out);
    std::size_t outlines = 0;
    for (std::size_t at = text.find("<rect class=\"turned\""); at != std::string::npos; at = text.find("<rect class=\"turned\"", at + 1)) ++outlines;
    EXPECT_EQ(outlines, 4u);
    EXPECT_NE(text.find("width=\"1250\" height=\"2500\""), std::string::npos);
    EXPECT_NE(text.find("stop 2: a quarter turn clockwise"), std::string::npos);
}

// ---- The block map -------------------------------------------------------------------------

TEST(ViewPage, StepNamesComeBackAsTheyWere) {
    const std::vector<std::pair<long long, std::string>> runs = {
        {1, "header"},
        {8, "work[0] (hit)"},
        {9, "work[1] (hit)"},
        {10, "work[12] (row)"},
        {12, "patterns[1].body[3] (hit)"},
        {13, "patterns[1].body[07] (hit)"},                  // a leading zero stays text
        {14, "work[1234567890123456789012] (odd)"},         // too long for a number
        {15, "work[999999999] (hit) \x01 mark"},            // the mark byte is no number
        {16, "work[3] (hit)"},
        {40, "trailer (park)"},
    };
    view::StepNames names;
    for (const auto &[line, name] : runs) names.add(line, name);
    std::vector<long long> lines;
    const std::vector<std::string> back = names_of(names.bytes(), runs.size(), lines);
    ASSERT_EQ(back.size(), runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(lines[i], runs[i].first);
        EXPECT_EQ(back[i], i == 7 ? "work[999999999] (hit) ? mark" : runs[i].second);
    }
    // A million single hits: a few bytes each.
    view::StepNames many;
    for (long long i = 0; i < 100000; ++i) many.add(i + 8, "work[" + std::to_string(i) + "] (hit)");
    EXPECT_LE(many.bytes().size(), 4u * 100000u);
}

// ---- Text in the page's scripts ---------------------------------------------------------------

TEST(ViewPage, TextCannotLeaveItsScript) {
    struct Case {
        std::string text, quoted;
    };
    const Case cases[] = {
        {"plain", "\"plain\""},
        {"a \"b\" \\c", "\"a \\\"b\\\" \\\\c\""},
        {"</script><script>alert(1)</script>", "\"\\u003c/script>\\u003cscript>alert(1)\\u003c/script>\""},
        {"line\r\nnext", "\"line\\r\\nnext\""},
        {"tab\there\x01", "\"tab\\u0009here\\u0001\""},
        {"Blech-\xc3\x96", "\"Blech-\xc3\x96\""},                 // valid UTF-8 stays
        {"bad \xff\xc3 end", "\"bad \\ufffd\\ufffd end\""},        // any other byte does not
        {"\xed\xa0\x80", "\"\\ufffd\\ufffd\\ufffd\""},             // a surrogate is no character
    };
    for (const Case &c : cases) {
        std::string out;
        view::append_js_string(out, c.text);
        EXPECT_EQ(out, c.quoted) << c.text;
    }
}

TEST(ViewPage, ThePageHoldsEverythingAndNothingBreaksOut) {
    const std::string program = "% \r\nX10Y10T1\r\n(A `NOTE` ${NOT} </SCRIPT> \\)\r\n%";
    std::FILE *file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fwrite(program.data(), 1, program.size(), file);
    view::PageScene scene;
    scene.scene.title = "</script> title";
    scene.scene.sheet_x = 1000;
    scene.scene.sheet_y = 500;
    const stats::TimeModel time{stats::MachineTimes{}};
    view::Page page(scene, time);
    for (const nc::Event &e : program_events(crlf("% \nX10Y10T1\n(A)\n%"))) page.add(e);
    page.name_lines(1, "header");
    page.add_finding(view::Finding{2, true, 10.0, 10.0, "a stroke into </script>", "warning"});
    std::FILE *out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    page.write(out, file);
    std::rewind(out);
    std::string html;
    char piece[4096];
    for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, out)) > 0;) html.append(piece, n);
    std::fclose(out);
    std::fclose(file);
    // Three scripts (the data, the program, the page's own), each closed once.
    std::size_t closings = 0;
    for (std::size_t at = 0; (at = html.find("</script", at)) != std::string::npos; ++at) ++closings;
    EXPECT_EQ(closings, 3u);
    EXPECT_EQ(html.find("<!--STYLE-->"), std::string::npos);
    EXPECT_EQ(html.find("<!--DATA-->"), std::string::npos);
    EXPECT_EQ(html.find("<!--SCRIPT-->"), std::string::npos);
    EXPECT_EQ(html.find("http"), std::string::npos) << "the page names nothing to fetch";
    // The program's text as it stands, its line ends too, in a template literal.
    EXPECT_NE(html.find("window.PELK.program=`% \r\nX10Y10T1\r\n(A \\`NOTE\\` \\${NOT} \\u003c/SCRIPT> \\\\)\r\n%`;"),
              std::string::npos);
    EXPECT_NE(html.find("{line:2,placed:true,x:10,y:10,text:\"a stroke into \\u003c/script>\",kind:\"warning\"}"),
              std::string::npos);
}

// ---- The time of each event -----------------------------------------------------------------------

TEST(ViewPage, TheTimesOfTheEventsAddUpToTheStatisticsEstimate) {
    // Every part of the time: strokes, moves, tool changes and index turns,
    // nibbling, a pierce and a cut, a re-grip, a stop and a turn, a dwell.
    stats::MachineTimes machine;
    machine.strokes_per_minute = 450;
    machine.positioning_speed = 40;
    const stats::TimeModel time(machine);
    const std::vector<nc::Event> events = program_events(crlf(
        "% \nX0Y0T1\nLAA/10 0 9\nMOV/X500Y300\nNBL/\nRAD/I 25 10 0 360 4 \nT7C90\nMOV/X800Y100\nNBL/\nCAA/Z 100 10 90 5\n"
        "M121\nM72\nM27S450\nX1000Y100F2500\nX1100F2500\nLCI/L 1100 200 50F2500\nLED/DX0DY0\nREP/DX500\nM00\n"
        "(FLIP THE SHEET AND RESTART)\nM00\nDWL/X 1.5\n%"));
    stats::Counter counter(time);
    double sum = 0.0;
    for (const nc::Event &e : events) {
        counter.add(e);
        sum += time.seconds(e);
    }
    const stats::Statistics s = counter.result(20);
    EXPECT_NEAR(sum, s.total_seconds, 1e-9);
    for (int part = 0; part < stats::PART_COUNT; ++part) EXPECT_GT(s.part_seconds[part], 0.0) << "part " << part;
}

}  // namespace
