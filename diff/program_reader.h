// program_reader.h - one program read for pelk-post diff: its events as
// compared (diff/compared_events.h), read ahead on a thread of its own where
// the platform has threads, so that the two programs of a diff are read at
// once, each on its own core.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "diff/compared_events.h"
#include "nc/block_reader.h"
#include "nc/control.h"
#include "nc/event.h"
#include "nc/setup.h"
#include "nc/text_table.h"
#include "verify/comparison.h"

namespace diff {

// A stretch of a program's events, handed from the reading to the comparison.
struct Batch {
    std::vector<nc::Event> events;   // texts numbered in the reading's own table
    std::vector<std::string> texts;  // the texts that table took since the batch before, in order
    bool end = false;                // the program has ended (or failed)
    std::exception_ptr error;        // what the reading threw
    long long lines = 0;             // at the end: the lines read
    Uncompared uncompared;           // at the end
};

// The reading of one program: the control model and what diff makes of its
// events, a batch at a time.
class Reading {
public:
    Reading(std::unique_ptr<nc::ByteSource> source, const nc::Setup &setup, bool inch, const verify::Tolerance &t);
    // The next batch of at most `most` events into batch (emptied first).
    void fill(Batch &batch, std::size_t most);

private:
    nc::Setup setup_;
    std::unique_ptr<nc::ByteSource> source_;
    nc::TextTable texts_;
    nc::BlockReader reader_;
    nc::Control control_;
    nc::Generator<nc::Event> events_;
    ComparedEvents compared_;
    std::size_t texts_sent_ = 0;
    bool ended_ = false;
};

// Where the batches come from: a thread that reads ahead, or the reading
// itself (diff/reading_channel_posix.cpp, reading_channel_windows.cpp).
class ReadingChannel {
public:
    explicit ReadingChannel(std::unique_ptr<Reading> reading);
    ReadingChannel(const ReadingChannel &) = delete;
    ReadingChannel &operator=(const ReadingChannel &) = delete;
    ~ReadingChannel();
    // The next batch; after one with end set, none is asked for.
    void take(Batch &batch);

private:
    struct Ahead;
    std::unique_ptr<Reading> reading_;
    std::unique_ptr<Ahead> ahead_;
};

// Where a comparison takes a program's events from.
class EventSource {
public:
    virtual ~EventSource() = default;
    // The next event compared; false at the end.  Throws what the reading
    // threw (nc::ProgramError for a block the control cannot run).
    virtual bool next(nc::Event &e) = 0;
};

class ProgramReader : public EventSource {
public:
    // The program from its start; texts: the table the two sides' texts are
    // numbered in, so that the same text is the same number.
    ProgramReader(std::unique_ptr<nc::ByteSource> source, const nc::Setup &setup, bool inch,
                  const verify::Tolerance &t, nc::TextTable &texts);

    bool next(nc::Event &e) override;

    // Whether next() threw what the reading threw.
    bool failed() const { return batch_.error != nullptr; }
    // Known once next() has answered false.
    long long lines() const { return batch_.lines; }
    const Uncompared &uncompared() const { return batch_.uncompared; }

private:
    ReadingChannel channel_;
    nc::TextTable &texts_;
    std::vector<int> numbers_;   // the reading's text numbers in texts_
    Batch batch_;
    std::size_t at_ = 0;
};

}  // namespace diff
