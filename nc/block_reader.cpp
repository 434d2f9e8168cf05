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

BlockReader::BlockReader(ByteSource &source, const KnownTexts &known, TextTable *texts)
    : source_(source), known_(known), texts_(texts != nullptr ? texts : &own_texts_), piece_(PIECE_SIZE) {}

bool BlockReader::next_line(Line &line) {
    line.text.clear();
    line.end = LineEnd::none;
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
        if (line.text.size() + n > MAX_LINE_LENGTH) {
            throw ProgramError(line_ + 1 + (have_ahead_ ? 1 : 0),
                               "a line longer than " + std::to_string(MAX_LINE_LENGTH) + " characters");
        }
        line.text.append(start, n);
        piece_at_ += n;
        if (found != nullptr) {
            ++piece_at_;  // the line feed
            // The dialect ends a block with CR LF; a line feed alone is read
            // all the same, and told of (LineEnd::line_feed).
            line.end = LineEnd::line_feed;
            if (!line.text.empty() && line.text.back() == '\r') {
                line.text.pop_back();
                line.end = LineEnd::crlf;
            }
            return true;
        }
    }
}

const BlockReader::Line *BlockReader::peek_line() {
    if (!have_ahead_) {
        ahead_exists_ = next_line(ahead_);
        have_ahead_ = true;
    }
    return ahead_exists_ ? &ahead_ : nullptr;
}

bool BlockReader::is_parameter_line(const std::string &text) const {
    return known_.parameter_lines.count(text) != 0;
}

bool BlockReader::next(Block &block) {
    Line &line = line_text_;
    bool got = false;
    if (have_ahead_) {
        have_ahead_ = false;
        got = ahead_exists_;
        if (got) std::swap(line, ahead_);
    } else {
        got = next_line(line);
    }
    if (ended_) {
        // Nothing may follow "%" but the line end an editor may add.
        if (got && !(line.text.empty() && line.end == LineEnd::none)) {
            throw ProgramError(line_ + 1, "text after the program's end (\"%\" ended it)");
        }
        return false;
    }
    if (!got) {
        if (line_ == 0) throw ProgramError(1, "the program is empty");
        throw ProgramError(line_, "the program stops without its closing \"%\": it is not complete");
    }
    ++line_;
    try {
        block = parse_block(line.text, line_, line_ == 1, known_);
    } catch (const ProgramError &) {
        // A line of the laser parameters that differs from the section.
        const bool among_parameters = !known_.parameter_lines.empty() && !line.text.empty() && line.text[0] != '(' &&
                                      line.text[0] != '%' && line_ > 1;
        const Line *after = among_parameters && !after_parameter_ ? peek_line() : nullptr;
        if (!among_parameters || !(after_parameter_ || (after != nullptr && is_parameter_line(after->text)))) throw;
        block = Block{};
        block.line = line_;
        block.kind = BlockKind::parameter;
        block.parameter = -1;
    }
    block.line_end = line.end;
    if (block.kind == BlockKind::comment || block.kind == BlockKind::user_text || block.kind == BlockKind::parameter) {
        block.text = texts_->id(line.text);
    }
    after_parameter_ = block.kind == BlockKind::parameter;
    if (block.kind == BlockKind::end) ended_ = true;
    return true;
}

}  // namespace nc
