// file_writer.h - the host's NC writers of the tool: onto an open C stream,
// or nowhere for a check that writes nothing.
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

// Takes every block and keeps none: the program is made but not written.
class DiscardWriter : public host::NcWriter {
public:
    bool write(const char *, std::size_t) override { return true; }
};

}  // namespace cli
