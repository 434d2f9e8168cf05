// A queue of events that keeps its room, for the read-backs that pull
// events from a program ahead of matching them.
#pragma once

#include <cstddef>
#include <vector>

namespace verify {

// The events pulled and not matched yet, in order: a queue that keeps its
// room (a std::deque of events this large allocates a node for every one or
// two of them, and a million strokes are a million events).
template <typename T>
class Pending {
public:
    bool empty() const { return head_ == items_.size(); }
    std::size_t size() const { return items_.size() - head_; }
    T &front() { return items_[head_]; }
    T &operator[](std::size_t i) { return items_[head_ + i]; }
    T &back() { return items_.back(); }
    void push_back(const T &value) { items_.push_back(value); }
    T &emplace_back() { return items_.emplace_back(); }
    void pop_back() { items_.pop_back(); }
    void pop_front() {
        ++head_;
        if (head_ == items_.size()) {
            items_.clear();
            head_ = 0;
        } else if (head_ >= 64 && head_ * 2 >= items_.size()) {
            items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
            head_ = 0;
        }
    }

private:
    std::vector<T> items_;
    std::size_t head_ = 0;   // the front
};

}  // namespace verify
