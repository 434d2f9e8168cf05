// reading_channel_windows.cpp - the Windows build's threads model has no
// standard threads: the program is read as the comparison asks for it.
#include "diff/program_reader.h"

namespace diff {
namespace {

constexpr std::size_t BATCH_EVENTS = 4096;

}  // namespace

struct ReadingChannel::Ahead {};

ReadingChannel::ReadingChannel(std::unique_ptr<Reading> reading) : reading_(std::move(reading)) {}

ReadingChannel::~ReadingChannel() = default;

void ReadingChannel::take(Batch &batch) { reading_->fill(batch, BATCH_EVENTS); }

}  // namespace diff
