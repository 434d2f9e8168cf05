// Blocks that wait in the NC line buffer for a later flush (plain moves):
// however many pile up, none is lost, and the host keeps the pile small.
#include <algorithm>
#include <cstring>
#include <string>

#include "host/host_state.h"
#include "tests/punch_fixture.h"

namespace {

constexpr int MOVES = 100000;

// The moves to X1 .. X100000 along Y0, each a block of its own, and the hit
// back at X0 with station 3 that follows them.
const std::string &moves_then_hit_text() {
    static const std::string text = [] {
        std::string all;
        for (int i = 1; i <= MOVES; ++i) {
            all.append("X");
            all.append(std::to_string(i));
            all.append("M03\r\n");
        }
        all.append("X0T3\r\n");
        return all;
    }();
    return text;
}

std::size_t count_blocks(const std::string &text) {
    std::size_t blocks = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++blocks;
    return blocks;
}

class PendingTextTest : public PunchTest {
protected:
    void SetUp() override {
        PunchTest::SetUp();
        use_turret(7000, {{1, 1, "F"}, {2, 2, "R2"}, {3, 3, ""}});
    }
};

// The module alone, its hooks called straight through the host's table:
// when the buffer is full the module hands the pending blocks on itself, and
// only a refusing writer stops the program (at the hit's own flush).
TEST_F(PendingTextTest, ModuleFlushesPendingMovesInsteadOfDroppingThem) {
    struct Case {
        int refuse_from;  // 0: the writer takes everything
        int hit_result;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 1}}) {
        SCOPED_TRACE(c.refuse_from);
        start_new_program();
        use_turret(7000, {{1, 1, "F"}, {2, 2, "R2"}, {3, 3, ""}});
        writer = host::MemoryWriter{};
        writer.refuse_from(c.refuse_from);
        for (int i = 1; i <= MOVES; ++i) pp_movement(i, 0);
        EXPECT_EQ(pp_hit(0, 0, 3, 0, 0.0, 0, 0), c.hit_result);

        const std::string &expected = moves_then_hit_text();
        const std::string written = writer.text();
        if (c.refuse_from == 0) {
            EXPECT_GT(writer.flushes(), 2);  // the module flushed on its own
            EXPECT_EQ(count_blocks(written), static_cast<std::size_t>(MOVES) + 1);
            EXPECT_TRUE(written == expected) << "the program differs from the moves and the hit";
        } else {
            // Exactly the flushes before the refused one.
            EXPECT_EQ(writer.pieces().size(), static_cast<std::size_t>(c.refuse_from - 1));
            EXPECT_EQ(expected.compare(0, written.size(), written), 0);
        }
        for (const std::string &piece : writer.pieces()) EXPECT_LT(piece.size(), std::size_t{PELK_NC_BUFF_MIN_SIZE});
    }
}

// Words written only to move the host's position and then cut back again
// stay cut even when they meet a full buffer: the room is made before the
// place is marked, so no flush falls in between.
TEST_F(PendingTextTest, WordsCutBackStayCutAtAFullBuffer) {
    const std::string pending(PELK_NC_BUFF_MIN_SIZE - 1 - 5, 'p');
    std::memcpy(c_nc_buff, pending.c_str(), pending.size() + 1);
    c_nc_tool = 1;
    const int pattern = c_program_number + 1 + 1;  // shown as 01
    ASSERT_EQ(pp_sub_rep_call(1, 100, 50, 0.0, 0, pattern, 30, 0, 4), 0);
    EXPECT_TRUE(writer.text() == pending + crlf("OFS/X70Y50\nMGR/01 R 30 4\n")) << writer.text().substr(pending.size());
}

// The host's walk of a job: between operations it hands pending text on
// once there is more than a little of it, so the pile stays small.
TEST_F(PendingTextTest, HostKeepsPendingMovesWithinItsLimit) {
    job::Job job = job_;
    const std::size_t frame_blocks = [&] {
        host::MemoryWriter frame;
        EXPECT_EQ(host::run_program(job, frame), 0);
        return count_blocks(frame.text());
    }();
    for (int i = 1; i <= MOVES; ++i) job.work.push_back(job::Movement{static_cast<double>(i), 0.0});
    job::Hit hit;
    hit.tool = 3;
    job.work.push_back(hit);

    host::MemoryWriter program;
    ASSERT_EQ(host::run_program(job, program), 0);
    const std::string text = program.text();
    EXPECT_EQ(count_blocks(text) - frame_blocks, static_cast<std::size_t>(MOVES) + 1);
    EXPECT_NE(text.find(moves_then_hit_text()), std::string::npos);
    std::size_t largest = 0;
    for (const std::string &piece : program.pieces()) largest = std::max(largest, piece.size());
    EXPECT_LE(largest, host::detail::PENDING_TEXT_LIMIT + 16);  // the limit and the one move beyond it
}

}  // namespace
