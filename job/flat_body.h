// flat_body.h - the body of a work step that holds nothing but a few
// numbers, as the reader meets it in the text.  The common steps (a hit, a
// move) are taken from it straight away, without a tree; a body that is not
// flat, or not right, goes to the tree and its reader, which names the fault.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "job/json_tree.h"

namespace job {

struct FlatBody {
    static constexpr std::size_t MAX_MEMBERS = 4;
    static constexpr std::size_t MAX_KEY_LENGTH = 8;

    struct Member {
        std::array<char, MAX_KEY_LENGTH> key{};
        std::size_t key_size = 0;
        bool valued = false;              // its number has been read
        JsonKind kind = JsonKind::null;   // negative_integer, integer or fraction
        long long negative = 0;
        unsigned long long whole = 0;
        double number = 0.0;              // the value as a double, whatever its kind
        std::string_view name() const { return {key.data(), key_size}; }
    };

    void clear() { count = 0; }
    // Takes the next key; false when the body cannot stay flat with it (a
    // long key, one too many, a key given twice).
    bool add_key(std::string_view name);
    // The value of the last key.
    void add_negative_integer(long long value);
    void add_integer(unsigned long long value);
    void add_fraction(double value);

    // The member named name, or nullptr.
    const Member *find(std::string_view name) const;

    std::array<Member, MAX_MEMBERS> members{};
    std::size_t count = 0;
};

// ---- Values as the tree's reader takes them (JsonField); false where it
// would refuse them, or where only it can tell.
// A finite number, at most MAX_NUMBER_SIZE in size.
bool flat_number(const FlatBody::Member *member, double &value);
// A whole number written as one, within the range of an int.
bool flat_int32(const FlatBody::Member *member, int &value);

}  // namespace job
