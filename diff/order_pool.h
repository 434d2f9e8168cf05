// order_pool.h - the events of one program that the other has not matched
// in order, put aside until their like comes on the other side (the same
// work in another order) or the stretch of work they stand in ends.
//
// They are found by their place: kept by kind in cells of the sheet a few
// times as wide as the tolerance, an event's like is looked for in its cell
// and the cells around it.
#pragma once

#include <cstddef>
#include <functional>
#include <unordered_map>
#include <vector>

#include "nc/event.h"

namespace diff {

struct Pooled {
    nc::Event event;
    long long other_line = 0;   // the other program's last line done with when it was put aside
    long long partner = -1;     // the other program's event put aside with it (the two differed), by its number there
};

class OrderPool {
public:
    // tolerance: the farthest two places of one event may lie apart.
    explicit OrderPool(double tolerance);

    // Puts e aside; answers its number in the pool.
    long long add(const nc::Event &e, long long other_line, long long partner = -1);
    void set_partner(long long number, long long partner);

    // Takes out the first event put aside that like() takes for e's like,
    // into taken; false when there is none.
    bool take(const nc::Event &e, const std::function<bool(const nc::Event &)> &like, Pooled &taken);

    // Whether the event of that number is still put aside.
    bool holds(long long number) const;
    std::size_t size() const { return held_; }

    // What is left, in the order it was put aside, with its numbers; the
    // pool is empty afterwards.
    std::vector<std::pair<long long, Pooled>> drain();

private:
    struct Cell {
        int kind;
        long long x, y;
        bool operator==(const Cell &o) const { return kind == o.kind && x == o.x && y == o.y; }
    };
    struct CellHash {
        std::size_t operator()(const Cell &c) const;
    };
    Cell cell_of(const nc::Event &e) const;

    double cell_size_;
    std::vector<Pooled> entries_;
    std::vector<bool> taken_;
    std::unordered_map<Cell, std::vector<long long>, CellHash> cells_;
    std::size_t held_ = 0;
};

}  // namespace diff
