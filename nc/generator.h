// generator.h - a sequence of values made on demand by a coroutine.
//
// The control model and the job's expansion both walk nested work (a row of
// strokes inside a copy of a pattern inside a row of copies) and hand on one
// value at a time: a command that makes a million strokes never holds them.
#pragma once

#include <coroutine>
#include <exception>
#include <utility>

namespace nc {

template <typename T>
class Generator {
public:
    struct promise_type {
        T current{};
        std::exception_ptr error;

        Generator get_return_object() { return Generator(Handle::from_promise(*this)); }
        std::suspend_always initial_suspend() noexcept { return {}; }
        std::suspend_always final_suspend() noexcept { return {}; }
        std::suspend_always yield_value(const T &value) {
            current = value;
            return {};
        }
        void return_void() {}
        void unhandled_exception() { error = std::current_exception(); }
    };
    using Handle = std::coroutine_handle<promise_type>;

    Generator(Generator &&other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Generator &operator=(Generator &&other) noexcept {
        if (this != &other) {
            if (handle_) handle_.destroy();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    Generator(const Generator &) = delete;
    Generator &operator=(const Generator &) = delete;
    ~Generator() {
        if (handle_) handle_.destroy();
    }

    // The next value into out; false at the end.  What the coroutine threw
    // is thrown here.
    bool next(T &out) {
        if (!handle_ || handle_.done()) return false;
        handle_.resume();
        if (handle_.promise().error) {
            std::exception_ptr error = std::exchange(handle_.promise().error, nullptr);
            std::rethrow_exception(error);
        }
        if (handle_.done()) return false;
        out = handle_.promise().current;
        return true;
    }

private:
    explicit Generator(Handle handle) : handle_(handle) {}
    Handle handle_;
};

}  // namespace nc
