// flat_body.cpp - the members of a flat step body.
#include "job/flat_body.h"

#include <cmath>
#include <limits>

#include "job/json_field.h"

namespace job {

bool FlatBody::add_key(std::string_view name) {
    for (std::size_t slot = 0; slot < step_->key_count; ++slot) {
        if (!same_key(step_->keys[slot], name)) continue;
        const unsigned bit = 1u << slot;
        if (given_ & bit) return false;
        given_ |= bit;
        order_[count_++] = static_cast<unsigned char>(slot);
        last_ = slot;
        return true;
    }
    return false;
}

void FlatBody::add_negative_integer(long long value) {
    Value &v = values_[last_];
    v.kind = JsonKind::negative_integer;
    v.negative = value;
    v.number = static_cast<double>(value);
    valued_ |= 1u << last_;
}

void FlatBody::add_integer(unsigned long long value) {
    Value &v = values_[last_];
    v.kind = JsonKind::integer;
    v.whole = value;
    v.number = static_cast<double>(value);
    valued_ |= 1u << last_;
}

void FlatBody::add_fraction(double value) {
    Value &v = values_[last_];
    v.kind = JsonKind::fraction;
    v.number = value;
    valued_ |= 1u << last_;
}

bool flat_number(const FlatBody::Value *value, double &number) {
    if (value == nullptr) return false;
    const double v = value->number;
    if (!std::isfinite(v) || v > MAX_NUMBER_SIZE || v < -MAX_NUMBER_SIZE) return false;
    number = v;
    return true;
}

bool flat_int32(const FlatBody::Value *value, int &number) {
    if (value == nullptr) return false;
    if (value->kind == JsonKind::integer && value->whole <= static_cast<unsigned long long>(std::numeric_limits<int>::max())) {
        number = static_cast<int>(value->whole);
        return true;
    }
    if (value->kind == JsonKind::negative_integer && value->negative >= std::numeric_limits<int>::min()) {
        number = static_cast<int>(value->negative);
        return true;
    }
    return false;
}

}  // namespace job
