// interrupts.cpp - the temporaries to remove when a signal stops the run:
// fixed slots, filled before any signal can need them, and their removal,
// which is safe in a signal handler (it only reads the slots and unlinks).
#include "cli/interrupts.h"

#include <climits>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace cli {
namespace {

constexpr int SLOTS = 4;  // the program and the trace, with room to spare

char slot_path[SLOTS][PATH_MAX];
volatile std::sig_atomic_t slot_used[SLOTS];

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

void remove_remembered_temporaries() {
    for (int i = 0; i < SLOTS; ++i) {
        if (slot_used[i] != 0) ::unlink(slot_path[i]);
    }
}

}  // namespace cli
