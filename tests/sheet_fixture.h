// sheet_fixture.h - common ground of the sheet hook tests: sheet event
// records as the host builds them, and runs of a hook on a fresh program
// whose writer refuses from a given flush on.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/event_record.h"
#include "interface/host_records.h"
#include "tests/support/host_fixture.h"

using host::EventRecord;

template <typename Base>
class SheetFixture : public Base {
protected:
    struct Run {
        int result = 0;
        std::vector<std::string> pieces;
    };

    // A fresh program, then call (which sets the host state it needs and
    // calls one hook); the writer refuses from flush refuse_from on (0: never).
    Run run(const std::function<int()> &call, int refuse_from = 0) {
        this->start_new_program();
        host::MemoryWriter out;
        out.refuse_from(refuse_from);
        host::set_writer(&out);
        Run r;
        r.result = call();
        r.pieces = out.pieces();
        host::set_writer(&this->writer);
        return r;
    }

    // The whole run writes `expected` and answers 0; a writer refusing from
    // the n-th flush on, for every n, gets exactly the first n - 1 pieces and
    // the hook answers 1.
    void expect_pieces_and_every_stop(const std::function<int()> &call, const std::vector<std::string> &expected) {
        const Run full = run(call);
        ASSERT_EQ(full.result, 0);
        ASSERT_EQ(full.pieces, expected);
        for (std::size_t n = 1; n <= expected.size(); ++n) {
            SCOPED_TRACE("refused from flush " + std::to_string(n));
            const Run stopped = run(call, static_cast<int>(n));
            EXPECT_EQ(stopped.result, 1);
            EXPECT_EQ(stopped.pieces, std::vector<std::string>(expected.begin(), expected.begin() + (n - 1)));
        }
    }
};

using SheetTest = SheetFixture<HostTest>;
