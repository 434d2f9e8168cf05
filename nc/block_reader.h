// block_reader.h - a program's text, read piece by piece into typed blocks.
//
// The text is never held whole: the reader keeps one piece of the input and
// the line being read.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "nc/block.h"
#include "nc/block_parser.h"
#include "nc/text_table.h"

namespace nc {

// Where the program's bytes come from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to size bytes into buffer; 0 at the end.  Throws std::runtime_error
    // when the bytes cannot be read.
    virtual std::size_t read(char *buffer, std::size_t size) = 0;
};

// An open C stream; name is used in messages.
class FileSource : public ByteSource {
public:
    FileSource(std::FILE *file, std::string name) : file_(file), name_(std::move(name)) {}
    std::size_t read(char *buffer, std::size_t size) override;

private:
    std::FILE *file_;
    std::string name_;
};

// A text held in memory (tests, and programs that are small by nature).
class TextSource : public ByteSource {
public:
    explicit TextSource(std::string text) : text_(std::move(text)) {}
    std::size_t read(char *buffer, std::size_t size) override;

private:
    std::string text_;
    std::size_t at_ = 0;
};

// The longest line the reader takes.  The longest block the module writes is
// a held laser block of under 5000 characters.
inline constexpr std::size_t MAX_LINE_LENGTH = 8192;

class BlockReader {
public:
    // The texts of comments, free texts and parameter lines go into texts
    // (a table of the reader's own when none is given).
    BlockReader(ByteSource &source, const KnownTexts &known, TextTable *texts = nullptr);

    // The next block; false after the program's last line ("%").  Throws
    // ProgramError for a block the control does not know, a line too long,
    // text after the end, or a program that stops before its end.  A line
    // that is none of the dialect's but stands among the lines of the
    // LASER.PAR section (just before or after one) is a parameter line the
    // section does not hold (parameter -1).
    bool next(Block &block);

    long long lines() const { return line_; }  // lines read so far
    TextTable &texts() { return *texts_; }

private:
    struct Line {
        std::string text;
        LineEnd end = LineEnd::crlf;
    };
    // The next line into line; false at the end of the input.
    bool next_line(Line &line);
    // The line after the current one, read ahead once.
    const Line *peek_line();
    bool is_parameter_line(const std::string &text) const;

    ByteSource &source_;
    const KnownTexts &known_;
    TextTable own_texts_;
    TextTable *texts_;
    std::vector<char> piece_;
    std::size_t piece_at_ = 0;
    std::size_t piece_size_ = 0;
    bool input_ended_ = false;
    Line line_text_;
    Line ahead_;
    bool have_ahead_ = false;
    bool ahead_exists_ = false;
    long long line_ = 0;
    bool ended_ = false;  // "%" has been read
    bool after_parameter_ = false;  // the block before was a parameter line
};

}  // namespace nc
