// trace_stream.h - a std::ostream onto a C stream, for the host's call trace.
#pragma once

#include <cstdio>
#include <ostream>
#include <streambuf>

namespace cli {

// Hands every character straight to the C stream (which buffers); a failed
// write is kept in error_number() and fails the ostream.
class StdioBuffer : public std::streambuf {
public:
    explicit StdioBuffer(std::FILE *stream) : stream_(stream) {}
    int error_number() const { return error_number_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *text, std::streamsize count) override;
    int sync() override;

private:
    std::FILE *stream_;
    int error_number_ = 0;
};

class TraceStream : public std::ostream {
public:
    explicit TraceStream(std::FILE *stream) : std::ostream(nullptr), buffer_(stream) { rdbuf(&buffer_); }
    int error_number() const { return buffer_.error_number(); }

private:
    StdioBuffer buffer_;
};

}  // namespace cli
