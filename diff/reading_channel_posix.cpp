// reading_channel_posix.cpp - a program read ahead on a thread of its own:
// a few batches wait for the comparison, so that each of the two programs
// is read on a core of its own.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "diff/program_reader.h"

namespace diff {
namespace {

constexpr std::size_t BATCH_EVENTS = 4096;
constexpr std::size_t BATCHES_AHEAD = 3;

}  // namespace

struct ReadingChannel::Ahead {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Batch> ready;
    bool stop = false;
    std::thread thread;
};

ReadingChannel::ReadingChannel(std::unique_ptr<Reading> reading)
    : reading_(std::move(reading)), ahead_(std::make_unique<Ahead>()) {
    Ahead &a = *ahead_;
    Reading &r = *reading_;
    a.thread = std::thread([&a, &r] {
        for (;;) {
            Batch batch;
            r.fill(batch, BATCH_EVENTS);
            const bool end = batch.end;
            std::unique_lock<std::mutex> lock(a.mutex);
            a.changed.wait(lock, [&a] { return a.stop || a.ready.size() < BATCHES_AHEAD; });
            if (a.stop) return;
            a.ready.push_back(std::move(batch));
            a.changed.notify_all();
            if (end) return;
        }
    });
}

ReadingChannel::~ReadingChannel() {
    {
        std::lock_guard<std::mutex> lock(ahead_->mutex);
        ahead_->stop = true;
    }
    ahead_->changed.notify_all();
    ahead_->thread.join();
}

void ReadingChannel::take(Batch &batch) {
    Ahead &a = *ahead_;
    std::unique_lock<std::mutex> lock(a.mutex);
    a.changed.wait(lock, [&a] { return !a.ready.empty(); });
    batch = std::move(a.ready.front());
    a.ready.pop_front();
    a.changed.notify_all();
}

}  // namespace diff
