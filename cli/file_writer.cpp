// file_writer.cpp - the host's NC writer onto an open C stream.
#include "cli/file_writer.h"

#include <cerrno>

namespace cli {

bool FileWriter::write(const char *text, std::size_t length) {
    if (error_number_ != 0) return false;
    errno = 0;
    if (length > 0 && std::fwrite(text, 1, length, stream_) != length) {
        error_number_ = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

}  // namespace cli
