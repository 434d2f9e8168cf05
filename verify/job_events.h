// job_events.h - what a job asks the machine to do, as the control model's
// events: every hit, every hit of a row, the holes of a bolt-hole circle,
// every copy of a pattern, the path of every nibbled element, every laser
// element, with the frame of the program around them (the material block,
// the park and unload moves).
//
// Made from the job model alone, by the rules of the machine as the docs
// state them: nothing of the module and nothing of the host's records.
#pragma once

#include <unordered_map>
#include <vector>

#include "job/job.h"
#include "nc/generator.h"
#include "nc/setup.h"
#include "verify/job_place.h"

namespace verify {

class JobEvents {
public:
    explicit JobEvents(const job::Job &job);

    // Every event of the job, in the job's order.
    nc::Generator<JobEvent> events();

    // What one copy of a pattern does, relative to its origin, for a control
    // that holds the pattern already.
    nc::StoredPattern stored_pattern(std::size_t pattern);

private:
    // The job's state as the machine would have it after each step.
    struct State {
        double x = 0.0, y = 0.0;          // where the tool stands
        int station = 0;                  // 0: none yet
        double angle = 0.0;
        bool cutting = false;             // a cut was left open
        double shift = 0.0;               // REP/ re-grips since the load (the host's sum of their dx)
        bool repositioned = false;
    };

    // A step whose events are few go to out_; the others are generators.
    bool few(const job::Operation &op, double ox, double oy, const JobPlace &place);
    nc::Generator<JobEvent> many(const job::Operation &op, double ox, double oy, JobPlace place);
    nc::Generator<JobEvent> contour(const job::LaserContour &c, double ox, double oy, JobPlace place);
    nc::Generator<JobEvent> punch_element(const job::PunchElement &e, double ox, double oy, JobPlace place);
    // The copies of a call, the first at (x, y), each next (dx, dy) further
    // on.  Whatever brings the tool to a copy (a positioning block, an offset)
    // is the call's own form, not compared.
    nc::Generator<JobEvent> copies(std::size_t pattern, double x, double y, double dx, double dy, long long count,
                                   JobPlace place);

    // The punch as the job wants it for a step with this tool and angle.
    nc::Tool use_tool(int tool, double angle, std::uint8_t &checks);
    nc::Technology technology(const job::LaserElement &e) const;
    nc::Event event(nc::EventKind kind) const;
    void emit(const nc::Event &e, const JobPlace &place) { out_.push_back(JobEvent{e, place}); }
    void punching_feed(double feed, const JobPlace &place);
    void trailer();

    const job::Job &job_;
    std::unordered_map<int, const job::Station *> stations_;  // by tool
    std::unordered_map<int, const job::LaserTechnology *> technologies_;  // by number
    State s_;
    std::vector<JobEvent> out_;
};

// The feed range word (80..83) of a punching feed under the machine's
// maximum: up to a quarter M83, up to half M82, up to three quarters M81,
// above M80.
int feed_range_word(double feed, double max_feed);

}  // namespace verify
