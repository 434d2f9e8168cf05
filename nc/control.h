// control.h - a model of the control: runs the blocks of a program and says
// what the machine does, as events.
//
// It keeps what the control keeps between blocks (the tool's position, the
// station and the index, the origin set by an offset, the laser's words, the
// stored pattern definitions) and expands what the control expands: rows,
// nibbling, bolt-hole circles, pattern calls and repeats.  Events leave as
// the blocks are read; a command that makes many strokes makes them one at a
// time.
#pragma once

#include <unordered_map>
#include <vector>

#include "nc/block_reader.h"
#include "nc/event.h"
#include "nc/generator.h"
#include "nc/setup.h"

namespace nc {

class Control {
public:
    Control(BlockReader &reader, const Setup &setup);

    // Every event of the program, in the order the machine does them.
    // Throws ProgramError (naming the line) for a block the control cannot
    // run where it stands.
    Generator<Event> events();

private:
    // A command that makes many events, run after its block.
    struct Expansion {
        enum class Kind { none, row, holes, copies } kind = Kind::none;
        Block block;
        double x = 0.0, y = 0.0;         // row: the first hit; holes: the centre; copies: one pitch before the first
        double dx = 0.0, dy = 0.0;       // row: the pitch; copies: the pitch
        long long count = 0;
    };

    // ---- One block (control.cpp): simple effects become events in out_, a
    // command that makes many sets expansion_.
    void execute(const Block &b);
    void execute_words(const Block &b);
    void execute_m_word(const Block &b);
    void positioning(const Block &b);
    void laser_block(const Block &b);
    void tool_and_index(const Block &b);
    Event turn_index(double angle);       // the index turned to angle: its event
    void clamp_travel(const Block &b);

    // ---- Commands (control_commands.cpp).
    void nibble_line(const Block &b);
    void nibble_arc(const Block &b);
    void holes(const Block &b);
    void row(const Block &b);
    void laser_circle(const Block &b);
    void laser_arc(const Block &b);
    Generator<Event> expand(Expansion x);
    // One block run: its own events, then what it leaves to expand.
    Generator<Event> run(const Block &b);

    // ---- Patterns (control_patterns.cpp).
    bool record(const Block &b);         // true when b went into a definition
    void call(const Block &b);
    void repeat(const Block &b);
    Generator<Event> run_copy(int pattern, double ox, double oy, long long copy, long long call_line);

    // ---- Helpers.
    Event event(EventKind kind) const;    // at the current position, from the block being run
    void emit(const Event &e) { out_.push_back(e); }
    double length(double value) const { return value * unit_; }
    // The target of a block's coordinate words: absolute words from the
    // origin in force, incremental ones from the tool.
    void target(const Block &b, double &x, double &y) const;
    void origin(double &x, double &y) const;
    [[noreturn]] void fail(const std::string &message) const;

    BlockReader &reader_;
    const Setup &setup_;
    double unit_;                         // millimetres per unit of the program

    std::vector<Event> out_;              // events of the block just run
    Expansion expansion_;                 // its command, when it makes many events
    Source where_;                        // the block being run

    // ---- The control's state.
    double x_, y_;                        // the tool's position
    bool offset_ = false;                 // an origin set by OFS/ is in force
    double offset_x_ = 0.0, offset_y_ = 0.0;
    Tool tool_;
    Technology laser_;                    // the laser's words in force
    bool cutting_ = false;                // the beam is on
    bool nibbling_armed_ = false;         // NBL/ came, its command must follow
    long long nibbling_line_ = 0;
    bool trap_door_armed_ = false;        // M55 came
    long long trap_door_line_ = 0;
    bool clamps_open_ = false;            // between M41 and M42
    Event regrip_;                        // the re-grip being made by M41 ... M42
    bool reload_note_ = false;            // the block before told the operator to flip or turn the sheet

    // ---- Patterns.
    std::unordered_map<int, std::vector<Block>> definitions_;
    bool recording_ = false;
    int recording_number_ = 0;
    long long recording_line_ = 0;
    std::vector<Block> recorded_;
    bool in_copy_ = false;
    double copy_x_ = 0.0, copy_y_ = 0.0;  // the running copy's origin
};

}  // namespace nc
