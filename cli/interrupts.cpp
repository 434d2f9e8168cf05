// interrupts.cpp - the temporaries to remove and the children to stop when a
// signal stops the run: fixed slots, filled before any signal can need them,
// and what reads them, which is safe in a signal handler (it only reads the
// slots, and unlinks or hands each child to the platform's stop).
#include "cli/interrupts.h"

#include <climits>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace cli {
namespace {

constexpr int SLOTS = 4;  // the program and the trace, with room to spare
constexpr int CHILD_SLOTS = 1024;  // as many runs as a batch starts at once

char slot_path[SLOTS][PATH_MAX];
volatile std::sig_atomic_t slot_used[SLOTS];

long long child_id[CHILD_SLOTS];
volatile std::sig_atomic_t child_used[CHILD_SLOTS];

}  // namespace

int remember_temporary(const char *path) {
    if (std::strlen(path) >= PATH_MAX) return -1;
    for (int i = 0; i < SLOTS; ++i) {
        if (slot_used[i] != 0) continue;
        std::strcpy(slot_path[i], path);
        slot_used[i] = 1;
        return i;
    }
    return -1;
}

void forget_temporary(int slot) {
    if (slot >= 0 && slot < SLOTS) slot_used[slot] = 0;
}

int remember_child(long long id) {
    for (int i = 0; i < CHILD_SLOTS; ++i) {
        if (child_used[i] != 0) continue;
        child_id[i] = id;
        child_used[i] = 1;
        return i;
    }
    return -1;
}

void forget_child(int slot) {
    if (slot >= 0 && slot < CHILD_SLOTS) child_used[slot] = 0;
}

void for_each_remembered_child(void (*stop)(long long id)) {
    for (int i = 0; i < CHILD_SLOTS; ++i) {
        if (child_used[i] != 0) stop(child_id[i]);
    }
}

void remove_remembered_temporaries() {
    for (int i = 0; i < SLOTS; ++i) {
        if (slot_used[i] != 0) ::unlink(slot_path[i]);
    }
}

}  // namespace cli
