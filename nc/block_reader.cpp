// block_reader.cpp - lines out of pieces of the input, blocks out of lines.
#include "nc/block_reader.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "nc/program_error.h"

namespace nc {
namespace {

constexpr std::size_t PIECE_SIZE = 256 * 1024;

}  // namespace

std::size_t FileSource::read(char *buffer, std::size_t size) {
    const std::size_t n = std::fread(buffer, 1, size, file_);
    if (n == 0 && std::ferror(file_)) {
        throw std::runtime_error("cannot read " + name_ + ": " + std::strerror(errno));
    }
    return n;
}

std::size_t TextSource::read(char *buffer, std::size_t size) {
    const std::size_t n = std::min(size, text_.size() - at_);
    std::memcpy(buffer, text_.data() + at_, n);
    at_ += n;
    return n;
}

BlockReader::BlockReader(ByteSource &source, const KnownTexts &known)
    : source_(source), known_(known), piece_(PIECE_SIZE) {}

bool BlockReader::next_line() {
    line_text_.clear();
    bool any = false;
    for (;;) {
        if (piece_at_ == piece_size_) {
            if (input_ended_) return any;
            piece_size_ = source_.read(piece_.data(), piece_.size());
            piece_at_ = 0;
            if (piece_size_ == 0) {
                input_ended_ = true;
                return any;
            }
        }
        any = true;
        const char *start = piece_.data() + piece_at_;
        const std::size_t left = piece_size_ - piece_at_;
        const void *found = std::memchr(start, '\n', left);
        const std::size_t n = found != nullptr ? static_cast<std::size_t>(static_cast<const char *>(found) - start) : left;
        if (line_text_.size() + n > MAX_LINE_LENGTH) {
            throw ProgramError(line_ + 1, "a line longer than " + std::to_string(MAX_LINE_LENGTH) + " characters");
        }
        line_text_.append(start, n);
        piece_at_ += n;
        if (found != nullptr) {
            ++piece_at_;  // the line feed
            // The dialect ends a block with CR LF; a line feed alone is taken too.
            if (!line_text_.empty() && line_text_.back() == '\r') line_text_.pop_back();
            return true;
        }
    }
}

bool BlockReader::next(Block &block) {
    if (ended_) {
        // Nothing may follow "%" but the line end an editor may add.
        if (next_line()) throw ProgramError(line_ + 1, "text after the program's end (\"%\" ended it)");
        return false;
    }
    if (!next_line()) {
        if (line_ == 0) throw ProgramError(1, "the program is empty");
        throw ProgramError(line_, "the program stops without its closing \"%\": it is not complete");
    }
    ++line_;
    block = parse_block(line_text_, line_, line_ == 1, known_);
    if (block.kind == BlockKind::end) ended_ = true;
    return true;
}

}  // namespace nc
