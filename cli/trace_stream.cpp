// trace_stream.cpp - the trace's ostream onto a C stream.
#include "cli/trace_stream.h"

#include <cerrno>

namespace cli {

StdioBuffer::int_type StdioBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char one = traits_type::to_char_type(c);
    return xsputn(&one, 1) == 1 ? c : traits_type::eof();
}

std::streamsize StdioBuffer::xsputn(const char *text, std::streamsize count) {
    if (error_number_ != 0 || count <= 0) return error_number_ != 0 ? 0 : count;
    errno = 0;
    const std::size_t length = static_cast<std::size_t>(count);
    if (std::fwrite(text, 1, length, stream_) != length) {
        error_number_ = errno != 0 ? errno : EIO;
        return 0;
    }
    return count;
}

int StdioBuffer::sync() {
    if (error_number_ != 0) return -1;
    errno = 0;
    if (std::fflush(stream_) != 0) {
        error_number_ = errno != 0 ? errno : EIO;
        return -1;
    }
    return 0;
}

}  // namespace cli
