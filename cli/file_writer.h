// file_writer.h - the host's NC writer onto an open C stream.
#pragma once

#include <cstdio>

#include "host/host.h"

namespace cli {

class FileWriter : public host::NcWriter {
public:
    explicit FileWriter(std::FILE *stream) : stream_(stream) {}

    // Answers false when the text could not be handed to the stream; the
    // reason stays in error_number().
    bool write(const char *text, std::size_t length) override;

    int error_number() const { return error_number_; }

private:
    std::FILE *stream_;
    int error_number_ = 0;
};

}  // namespace cli
