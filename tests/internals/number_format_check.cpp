// number_format_check - format_fixed against snprintf over many millions of
// values of the spread the test suite samples (number_samples.h).
//   number_format_check [COUNT]     (default 50 000 000)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/internals/number_samples.h"

int main(int argc, char **argv) {
    const unsigned long long count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 50000000ull;
    unsigned long long mismatches = 0;
    for (unsigned long long i = 0; i < count; ++i) {
        const std::string line = number_samples::mismatch(i);
        if (line.empty()) continue;
        if (++mismatches <= 10) std::printf("%s\n", line.c_str());
    }
    std::printf("%llu values, %llu written unlike snprintf\n", count, mismatches);
    return mismatches == 0 ? 0 : 1;
}
