// flush_nc_buffer: the road of every block to the output, and how a
// refused output stays refused.
#include <cstring>

#include "tests/support/host_fixture.h"

namespace {

int flush_text(const char *text) {
    snprintf(c_nc_buff, PELK_NC_BUFF_MIN_SIZE, "%s", text);
    return flush_nc_buffer();
}

class FailingWriter : public host::NcWriter {
public:
    bool write(const char *, std::size_t) override { throw std::runtime_error("disk gone"); }
};

}  // namespace

using HostWriter = HostTest;

TEST_F(HostWriter, FlushHandsOverTheBufferAndEmptiesIt) {
    EXPECT_EQ(flush_text("M03\r\n"), 0);
    EXPECT_EQ(c_nc_buff[0], '\0');
    EXPECT_EQ(flush_text(""), 0);  // an empty buffer is still a flush of its own
    EXPECT_EQ(flush_text("%"), 0);
    ASSERT_EQ(writer.pieces().size(), 3u);
    EXPECT_EQ(writer.pieces()[1], "");
    EXPECT_EQ(writer.flushes(), 3);
    EXPECT_EQ(writer.text(), "M03\r\n%");
}

TEST_F(HostWriter, ARefusedFlushRefusesEveryLaterOneAndStillEmptiesTheBuffer) {
    writer.refuse_from(2);
    EXPECT_EQ(flush_text("A\r\n"), 0);
    EXPECT_EQ(flush_text("B\r\n"), 1);
    EXPECT_EQ(c_nc_buff[0], '\0');
    // A writer that would take the text again is not asked: the output failed.
    writer.refuse_from(0);
    EXPECT_EQ(flush_text("C\r\n"), 1);
    EXPECT_EQ(c_nc_buff[0], '\0');
    EXPECT_EQ(writer.text(), "A\r\n");
    // A new writer starts a new output.
    host::MemoryWriter fresh;
    host::set_writer(&fresh);
    EXPECT_EQ(flush_text("D\r\n"), 0);
    EXPECT_EQ(fresh.text(), "D\r\n");
}

TEST_F(HostWriter, NoWriterOrAThrowingWriterRefuses) {
    host::set_writer(nullptr);
    EXPECT_EQ(flush_text("A\r\n"), 1);
    EXPECT_EQ(c_nc_buff[0], '\0');
    FailingWriter failing;
    host::set_writer(&failing);
    EXPECT_EQ(flush_text("A\r\n"), 1);
    EXPECT_EQ(flush_text("B\r\n"), 1);
}

TEST_F(HostWriter, AnUnterminatedBufferIsNeverReadPastItsEnd) {
    std::memset(c_nc_buff, 'X', PELK_NC_BUFF_MIN_SIZE);
    EXPECT_EQ(flush_nc_buffer(), 0);
    ASSERT_EQ(writer.pieces().size(), 1u);
    EXPECT_EQ(writer.pieces()[0].size(), static_cast<std::size_t>(PELK_NC_BUFF_MIN_SIZE - 1));
    EXPECT_EQ(c_nc_buff[0], '\0');
}
