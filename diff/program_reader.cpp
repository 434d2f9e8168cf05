// program_reader.cpp - a program read into batches, and taken event by event.
#include "diff/program_reader.h"

#include <utility>

namespace diff {

Reading::Reading(std::unique_ptr<nc::ByteSource> source, const nc::Setup &setup, bool inch, const verify::Tolerance &t)
    : setup_(setup), source_(std::move(source)), reader_(*source_, setup_.known, &texts_), control_(reader_, setup_),
      events_(control_.events()), compared_(events_, texts_, inch, t) {}

void Reading::fill(Batch &batch, std::size_t most) {
    batch.events.clear();
    batch.events.reserve(most);
    batch.texts.clear();
    if (!ended_) {
        try {
            while (batch.events.size() < most) {
                batch.events.emplace_back();
                if (!compared_.next(batch.events.back())) {
                    batch.events.pop_back();
                    ended_ = true;
                    break;
                }
            }
        } catch (...) {
            batch.error = std::current_exception();
            ended_ = true;
        }
    }
    for (; texts_sent_ < texts_.size(); ++texts_sent_) batch.texts.push_back(texts_.text(static_cast<int>(texts_sent_)));
    batch.end = ended_;
    if (ended_) {
        batch.lines = reader_.lines();
        batch.uncompared = compared_.uncompared();
    }
}

ProgramReader::ProgramReader(std::unique_ptr<nc::ByteSource> source, const nc::Setup &setup, bool inch,
                             const verify::Tolerance &t, nc::TextTable &texts)
    : channel_(std::make_unique<Reading>(std::move(source), setup, inch, t)), texts_(texts) {}

bool ProgramReader::next(nc::Event &e) {
    while (at_ == batch_.events.size()) {
        if (batch_.end) return false;
        channel_.take(batch_);
        at_ = 0;
        for (const std::string &text : batch_.texts) numbers_.push_back(texts_.id(text));
        if (batch_.error) std::rethrow_exception(batch_.error);
    }
    e = batch_.events[at_++];
    const auto number = [this](int own) { return own >= 0 ? numbers_[static_cast<std::size_t>(own)] : own; };
    e.text = number(e.text);
    // A laser start carries the laser parameters in force as a text.
    if (e.kind == nc::EventKind::pierce) e.number = number(e.number);
    return true;
}

}  // namespace diff
