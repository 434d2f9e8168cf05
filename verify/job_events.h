// job_events.h - what a job asks the machine and the operator to do, as the
// control model's events: the program's frame (its start, number, header
// comments, laser-work words, park, unload, rewind and end), every hit,
// every hit of a row, the holes of a bolt-hole circle, every copy of a
// pattern, the path of every nibbled element, every laser element with its
// technology and junction word, the laser head going up, every station
// taken, the stops with what the operator is told, the free NC texts.
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
    // setup: the control the program runs on (its known texts, and the table
    // its texts are numbered in).
    JobEvents(const job::Job &job, const nc::Setup &setup);

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
        bool head_down = false;           // the laser head is down (a cut ended without raising it)
        nc::Junction junction = nc::Junction::none;  // the junction word in force
        double shift = 0.0;               // REP/ re-grips since the load (the host's sum of their dx)
        bool repositioned = false;
    };

    // The steps of a list (the work, or a pattern's body), and where in it.
    struct StepList {
        const std::vector<job::Operation> *steps = nullptr;
        std::size_t index = 0;
    };

    // A step whose events are few go to out_; the others are generators.
    bool few(const job::Operation &op, double ox, double oy, const JobPlace &place);
    nc::Generator<JobEvent> many(const job::Operation &op, double ox, double oy, JobPlace place, StepList list);
    nc::Generator<JobEvent> contour(const job::LaserContour &c, double ox, double oy, JobPlace place,
                                    const job::LaserElement *next);
    nc::Generator<JobEvent> punch_element(const job::PunchElement &e, double ox, double oy, JobPlace place);
    // The copies of a call, the first at (x, y), each next (dx, dy) further
    // on, with what the call writes ahead of them.
    nc::Generator<JobEvent> call(std::size_t pattern, double x, double y, double dx, double dy, long long count,
                                 JobPlace place);
    // Every step of a list, in order.
    nc::Generator<JobEvent> steps(const std::vector<job::Operation> &list, double ox, double oy, JobPlace place,
                                  bool in_copy);

    // The punch as the job wants it for a step with this tool and angle; a
    // station taken anew is an event of its own (out_).
    nc::Tool use_tool(int tool, double angle, std::uint8_t &checks, const JobPlace &place);
    // The laser head goes up ahead of work that needs it up (out_).
    void raise_head(const JobPlace &place);
    nc::Technology technology(const job::LaserElement &e) const;
    nc::Event event(nc::EventKind kind) const;
    void emit(const nc::Event &e, const JobPlace &place) { out_.push_back(JobEvent{e, place}); }
    void comment(const std::string &text, const JobPlace &place);
    void punching_feed(double feed, const JobPlace &place);
    void free_text(const std::string &text, const JobPlace &place);
    void header();
    void trailer();

    const job::Job &job_;
    const nc::Setup &setup_;
    std::unordered_map<int, const job::Station *> stations_;  // by tool
    std::unordered_map<int, const job::LaserTechnology *> technologies_;  // by number
    State s_;
    std::vector<JobEvent> out_;
};

// The words a laser technology of the job writes at a laser start: its M7x
// selector, technology word with S value and feed, as the control reads
// them back (the head mode and the compensation are the element's).
nc::Technology technology_words(const job::LaserTechnology &tech, bool inch);

// The feed range word (80..83) of a punching feed under the machine's
// maximum: up to a quarter M83, up to half M82, up to three quarters M81,
// above M80.
int feed_range_word(double feed, double max_feed);

// The junction word between two laser elements of one cut: smooth where the
// first ends in the direction the second starts in (or straight against it),
// a corner otherwise, either where they meet so nearly smoothly that the
// rounding of the host's geometry decides.
nc::Junction junction_between(const job::LaserElement &a, const job::LaserElement &b);

}  // namespace verify
