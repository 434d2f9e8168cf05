// model_lines.cpp - model_lines JOB PROGRAM: for every line of the program
// that makes strokes or starts a cut, where the model of the control leaves
// the machine after that line's work (its first run of events: the line's
// own, or a call's copies), one line each:
//
//   LINE WORK X Y STATION ANGLE STROKES
//
// WORK is "stroke" or "pierce" (a line that makes both is "stroke");
// X and Y in mm, the control's coordinates; STROKES counts every stroke so
// far, nibbling included.  The page's test holds pelkView.state() after
// pelkView.select(LINE) against these, read straight from the model that
// verify and stats read programs with.
#include <cstdio>
#include <exception>
#include <map>

#include "job/job_reader.h"
#include "nc/block_reader.h"
#include "nc/control.h"
#include "nc/nibbling.h"
#include "verify/control_setup.h"

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: model_lines JOB PROGRAM\n");
        return 2;
    }
    try {
        const job::Job job = job::read_job_file(argv[1]);
        const verify::LaserParSection section = verify::laser_par_section_of(job);
        const nc::Setup setup = verify::control_setup(job, section);
        std::FILE *file = std::fopen(argv[2], "rb");
        if (file == nullptr) {
            std::perror(argv[2]);
            return 1;
        }
        nc::FileSource source(file, argv[2]);
        nc::BlockReader reader(source, setup.known);
        nc::Control control(reader, setup);
        nc::Generator<nc::Event> events = control.events();
        struct Run {
            nc::Event last;
            nc::Tool tool;       // in force at its end
            long long strokes = 0;
            bool strikes = false;
            bool pierces = false;
            bool closed = false;
        };
        std::map<long long, Run> runs;   // by line: its first run
        long long strokes = 0;
        nc::Tool tool;                   // the tool in force: what the last event that uses it carried
        long long open[2] = {0, 0};      // the lines whose first run is going on
        nc::Event e;
        while (events.next(e)) {
            switch (e.kind) {
            case nc::EventKind::stroke:
            case nc::EventKind::nibble:
            case nc::EventKind::move:
            case nc::EventKind::tool_change:
            case nc::EventKind::index_turn: tool = e.tool; break;
            default: break;
            }
            if (e.kind == nc::EventKind::stroke) strokes += 1;
            if (e.kind == nc::EventKind::nibble) strokes += nc::nibble_stroke_count(e);
            const long long lines[2] = {e.where.line, e.where.call_line};
            // A run closes at the first event that is not the line's.
            for (long long &o : open) {
                if (o != 0 && o != lines[0] && o != lines[1]) {
                    runs[o].closed = true;
                    o = 0;
                }
            }
            for (int k = 0; k < 2; ++k) {
                const long long line = lines[k];
                if (line == 0 || (k == 1 && line == lines[0])) continue;
                Run &r = runs[line];
                if (r.closed) continue;
                r.last = e;
                r.tool = tool;
                r.strokes = strokes;
                r.strikes = r.strikes || e.kind == nc::EventKind::stroke || e.kind == nc::EventKind::nibble;
                r.pierces = r.pierces || e.kind == nc::EventKind::pierce;
                open[k] = line;
            }
        }
        std::fclose(file);
        for (const auto &[line, r] : runs) {
            if (!r.strikes && !r.pierces) continue;
            std::printf("%lld %s %.6f %.6f %d %.6f %lld\n", line, r.strikes ? "stroke" : "pierce", r.last.x, r.last.y, r.tool.station, r.tool.angle,
                        r.strokes);
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "model_lines: %s\n", e.what());
        return 1;
    }
    return 0;
}
