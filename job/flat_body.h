// flat_body.h - the body of a work step that holds nothing but a few
// numbers, as the reader meets it in the text.  The common steps (a hit, a
// move) are taken from it straight away, without a tree; a body that is not
// flat, or not right, goes to the tree and its reader, which names the fault.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "job/json_tree.h"

namespace job {

class WorkContext;
struct FlatBody;

// A kind of step that may be read flat: the keys its body may hold, and its
// reader.  The reader answers false, having changed nothing, for a body it
// does not take whole (a value out of range, a key missing, ...).
struct FlatStep {
    static constexpr std::size_t MAX_KEYS = 4;
    std::array<std::string_view, MAX_KEYS> keys;
    std::size_t key_count;
    bool (*read)(const FlatBody &body, WorkContext &context);

    // The keys, for the tree reader of the same kind.
    std::span<const std::string_view> allowed() const { return {keys.data(), key_count}; }
};

struct FlatBody {
    // One number, as the tree would hold it.
    struct Value {
        JsonKind kind = JsonKind::null;   // negative_integer, integer or fraction
        long long negative = 0;
        unsigned long long whole = 0;
        double number = 0.0;              // the value as a double, whatever its kind
    };

    // Starts a body of the given kind.
    void clear(const FlatStep &step) {
        step_ = &step;
        count_ = 0;
        given_ = 0;
        valued_ = 0;
    }
    // Takes the next key; false when the body cannot stay flat with it (a key
    // not of the kind, or one given twice).
    bool add_key(std::string_view name);
    // The value of the last key.
    void add_negative_integer(long long value);
    void add_integer(unsigned long long value);
    void add_fraction(double value);

    // The value of the kind's key at slot, or nullptr when not given.
    const Value *get(std::size_t slot) const { return valued(slot) ? &values_[slot] : nullptr; }

    // ---- The members in the order of the text, to build the tree after all.
    std::size_t count() const { return count_; }
    std::string_view key(std::size_t i) const { return step_->keys[order_[i]]; }
    // Null for the last key when its value has not come yet.
    const Value *value(std::size_t i) const { return get(order_[i]); }

private:
    bool valued(std::size_t slot) const { return (valued_ >> slot) & 1u; }

    const FlatStep *step_ = nullptr;
    std::array<Value, FlatStep::MAX_KEYS> values_{};
    std::array<unsigned char, FlatStep::MAX_KEYS> order_{};  // slots in the order given
    std::size_t count_ = 0;
    unsigned given_ = 0;     // bit per slot: its key was given
    unsigned valued_ = 0;    // bit per slot: its value too
    std::size_t last_ = 0;   // the slot of the last key
};

// ---- Values as the tree's reader takes them (JsonField); false where it
// would refuse them, or where only it can tell.
// A finite number, at most MAX_NUMBER_SIZE in size.
bool flat_number(const FlatBody::Value *value, double &number);
// A whole number written as one, within the range of an int.
bool flat_int32(const FlatBody::Value *value, int &number);

}  // namespace job
