// flat_body.cpp - the members of a flat step body.
#include "job/flat_body.h"

#include <cmath>
#include <limits>

#include "job/json_field.h"

namespace job {

bool FlatBody::add_key(std::string_view name) {
    if (count == MAX_MEMBERS || name.size() > MAX_KEY_LENGTH || find(name) != nullptr) return false;
    Member &m = members[count++];
    name.copy(m.key.data(), name.size());
    m.key_size = name.size();
    m.valued = false;
    return true;
}

void FlatBody::add_negative_integer(long long value) {
    Member &m = members[count - 1];
    m.valued = true;
    m.kind = JsonKind::negative_integer;
    m.negative = value;
    m.number = static_cast<double>(value);
}

void FlatBody::add_integer(unsigned long long value) {
    Member &m = members[count - 1];
    m.valued = true;
    m.kind = JsonKind::integer;
    m.whole = value;
    m.number = static_cast<double>(value);
}

void FlatBody::add_fraction(double value) {
    Member &m = members[count - 1];
    m.valued = true;
    m.kind = JsonKind::fraction;
    m.number = value;
}

const FlatBody::Member *FlatBody::find(std::string_view name) const {
    for (std::size_t i = 0; i < count; ++i) {
        if (same_key(members[i].name(), name)) return &members[i];
    }
    return nullptr;
}

bool flat_number(const FlatBody::Member *member, double &value) {
    if (member == nullptr) return false;
    const double v = member->number;
    if (!std::isfinite(v) || v > MAX_NUMBER_SIZE || v < -MAX_NUMBER_SIZE) return false;
    value = v;
    return true;
}

bool flat_int32(const FlatBody::Member *member, int &value) {
    if (member == nullptr) return false;
    if (member->kind == JsonKind::integer && member->whole <= static_cast<unsigned long long>(std::numeric_limits<int>::max())) {
        value = static_cast<int>(member->whole);
        return true;
    }
    if (member->kind == JsonKind::negative_integer && member->negative >= std::numeric_limits<int>::min()) {
        value = static_cast<int>(member->negative);
        return true;
    }
    return false;
}

}  // namespace job
