// order_pool.cpp - events put aside by place, found again by place.
#include "diff/order_pool.h"

#include <algorithm>
#include <cmath>

namespace diff {
namespace {

// Places beyond this are far off any sheet; they share the outermost cells.
constexpr double FARTHEST = 1e12;

long long cell_number(double v, double size) {
    if (!std::isfinite(v)) return 0;
    return static_cast<long long>(std::floor(std::clamp(v, -FARTHEST, FARTHEST) / size));
}

}  // namespace

std::size_t OrderPool::CellHash::operator()(const Cell &c) const {
    std::size_t h = static_cast<std::size_t>(c.kind);
    h = h * 1000003u ^ static_cast<std::size_t>(c.x);
    h = h * 1000003u ^ static_cast<std::size_t>(c.y);
    return h;
}

// A cell four times the tolerance wide (at least a millimetre): an event's
// like lies in its cell or one of the eight around it.
OrderPool::OrderPool(double tolerance) : cell_size_(std::max(1.0, 4.0 * tolerance)) {}

OrderPool::Cell OrderPool::cell_of(const nc::Event &e) const {
    return Cell{static_cast<int>(e.kind), cell_number(e.x, cell_size_), cell_number(e.y, cell_size_)};
}

long long OrderPool::add(const nc::Event &e, long long other_line, long long partner) {
    const long long number = static_cast<long long>(entries_.size());
    entries_.push_back(Pooled{e, other_line, partner});
    taken_.push_back(false);
    cells_[cell_of(e)].push_back(number);
    ++held_;
    return number;
}

void OrderPool::set_partner(long long number, long long partner) {
    entries_[static_cast<std::size_t>(number)].partner = partner;
}

bool OrderPool::holds(long long number) const {
    return number >= 0 && static_cast<std::size_t>(number) < taken_.size() && !taken_[static_cast<std::size_t>(number)];
}

bool OrderPool::take(const nc::Event &e, const std::function<bool(const nc::Event &)> &like, Pooled &taken) {
    if (held_ == 0) return false;
    const Cell centre = cell_of(e);
    long long best = -1;
    auto best_cell = cells_.end();
    for (long long dx = -1; dx <= 1; ++dx) {
        for (long long dy = -1; dy <= 1; ++dy) {
            const auto found = cells_.find(Cell{centre.kind, centre.x + dx, centre.y + dy});
            if (found == cells_.end()) continue;
            for (long long number : found->second) {
                if ((best < 0 || number < best) && like(entries_[static_cast<std::size_t>(number)].event)) {
                    best = number;
                    best_cell = found;
                    break;  // a cell's events are in the order they came
                }
            }
        }
    }
    if (best < 0) return false;
    std::vector<long long> &in_cell = best_cell->second;
    in_cell.erase(std::find(in_cell.begin(), in_cell.end(), best));
    if (in_cell.empty()) cells_.erase(best_cell);
    taken_[static_cast<std::size_t>(best)] = true;
    --held_;
    taken = entries_[static_cast<std::size_t>(best)];
    return true;
}

std::vector<std::pair<long long, Pooled>> OrderPool::drain() {
    std::vector<std::pair<long long, Pooled>> left;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (!taken_[i]) left.emplace_back(static_cast<long long>(i), entries_[i]);
    }
    entries_.clear();
    taken_.clear();
    cells_.clear();
    held_ = 0;
    return left;
}

}  // namespace diff
