// nc_writer.cpp - flush_nc_buffer: hands the NC line buffer to the writer.
//
// A flush always empties the buffer.  Once the writer has refused one flush
// the output counts as failed and every later flush is refused too: some
// hooks flush without a result, so their callers only learn of the failure
// at their own next flush.
#include <cstring>

#include "host/host_state.h"
#include "host/trace.h"
#include "interface/host_api.h"

namespace host {

bool MemoryWriter::write(const char *text, std::size_t length) {
    ++flushes_;
    if (refuse_from_ > 0 && flushes_ >= refuse_from_) return false;
    pieces_.emplace_back(text, length);
    return true;
}

std::string MemoryWriter::text() const {
    std::string all;
    for (const std::string &piece : pieces_) all += piece;
    return all;
}

void set_writer(NcWriter *writer) {
    detail::session().writer = writer;
    detail::session().refused = false;
}

}  // namespace host

namespace host::detail {

std::size_t nc_text_length() {
    // The buffer is the host's own, but a module may have left it without
    // its terminating zero: never read past its end.
    const void *end = std::memchr(c_nc_buff, '\0', PELK_NC_BUFF_MIN_SIZE);
    return end != nullptr ? static_cast<std::size_t>(static_cast<const char *>(end) - c_nc_buff)
                          : PELK_NC_BUFF_MIN_SIZE - 1;
}

int limit_pending_text() {
    // Mostly the module has flushed its blocks and nothing waits.
    if (c_nc_buff[0] != '\0' && nc_text_length() > PENDING_TEXT_LIMIT) return flush_nc_buffer();
    return session().refused ? 1 : 0;
}

}  // namespace host::detail

extern "C" int flush_nc_buffer(void) {
    host::detail::Session &s = host::detail::session();
    const std::size_t length = host::detail::nc_text_length();
    if (!s.refused) {
        host::detail::map_lines(c_nc_buff, length);
        bool written = false;
        if (s.writer != nullptr) {
            try {
                written = s.writer->write(c_nc_buff, length);
            } catch (...) {
                written = false;  // nothing may cross the C interface
            }
        }
        if (!written) s.refused = true;
    }
    c_nc_buff[0] = '\0';
    const int result = s.refused ? 1 : 0;
    HOST_TRACE("flush_nc_buffer() -> %d", result);
    return result;
}
