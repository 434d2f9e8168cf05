// fuzz_job_reader.cpp - the job reader on any text: it takes the job or
// refuses it with a JobError, never anything else, and makes the same of
// the text whether it comes whole or in pieces of 1 to 9 bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "job/job_reader.h"
#include "tests/fuzz/job_digest.h"

namespace {

// The text in pieces whose sizes run through 1 to 9 bytes.
class TextInPieces : public job::TextSource {
public:
    TextInPieces(std::string_view text, std::size_t first_size) : text_(text), size_(first_size) {}
    std::string_view next_piece() override {
        const std::size_t n = std::min(text_.size() - at_, size_);
        const std::string_view piece = text_.substr(at_, n);
        at_ += n;
        size_ = size_ % 9 + 1;
        return piece;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t size_;
};

// "job:" and the digest of the job, or "refused:" and the message.
std::string reading(job::TextSource &source) {
    try {
        return "job:" + fuzz::job_digest(job::read_job(source, ""));
    } catch (const job::JobError &e) {
        return std::string("refused:") + e.what();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    job::TextInMemory whole(text);
    const std::string once = reading(whole);
    TextInPieces pieces(text, size > 0 ? data[0] % 9 + 1 : 1);
    const std::string piecewise = reading(pieces);
    if (once != piecewise) {
        std::fprintf(stderr, "whole: %.400s\nin pieces: %.400s\n", once.c_str(), piecewise.c_str());
        std::abort();
    }
    return 0;
}
