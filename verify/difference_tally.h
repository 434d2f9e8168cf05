// difference_tally.h - differences counted and told as a reader of the
// messages needs them: every one counted, the first ones told in full, the
// same difference repeated told once with how often it came again, none
// formatted beyond what is told.  verify's differences from the job and
// diff's between two programs are told this way.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "verify/comparison.h"

namespace verify {

class DifferenceTally {
public:
    // The differences go to count, the messages told in full (at most most
    // of them) to messages, with their places.
    DifferenceTally(long long &count, std::vector<std::string> &messages, std::vector<DifferencePlace> &places,
                    std::size_t most)
        : count_(count), messages_(messages), places_(places), most_(most) {}

    // One difference at place: counted always, formatted by make only when
    // it is one of the first told and no difference of the same key was
    // ("" for a difference never grouped).
    void tell(const std::string &key, const DifferencePlace &place, const std::function<std::string()> &make);

    // Adds to each message told how often its difference came again.
    void finish();

private:
    struct Repeats {
        std::size_t message = 0;   // its message, when it was told
        bool told = false;
        long long count = 0;       // differences of this key after the first
        DifferencePlace last;
    };

    long long &count_;
    std::vector<std::string> &messages_;
    std::vector<DifferencePlace> &places_;
    std::size_t most_;
    std::map<std::string, Repeats> repeats_;
};

}  // namespace verify
