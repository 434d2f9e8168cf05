// event_record.h - the host's sheet event record (the ev argument of the
// sheet event hooks), built at the byte offsets of interface/host_records.h.
#pragma once

#include <cstring>
#include <string>

#include "interface/host_records.h"

namespace host {

// A sheet event record as the host hands it over: zero bytes except the
// fields the event fills.
struct EventRecord {
    char bytes[EV_RECORD_SIZE] = {};

    EventRecord &put(std::size_t offset, double value) {
        std::memcpy(bytes + offset, &value, sizeof value);
        return *this;
    }
    EventRecord &put(std::size_t offset, int value) {
        std::memcpy(bytes + offset, &value, sizeof value);
        return *this;
    }
    // The free NC text, cut to its field and always ended by a zero byte.
    EventRecord &put_text(const std::string &text) {
        const std::size_t n = text.size() < EV_NC_TEXT_SIZE - 1 ? text.size() : EV_NC_TEXT_SIZE - 1;
        std::memcpy(bytes + EV_NC_TEXT_AT, text.data(), n);
        bytes[EV_NC_TEXT_AT + n] = '\0';
        return *this;
    }
    char *ev() { return bytes; }
};

}  // namespace host
