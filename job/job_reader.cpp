// job_reader.cpp - the job file: JSON in, job::Job out, every value checked,
// in one pass over the text.
//
// The scanner hands its events to JobStream, which builds a small tree for
// one part of the file at a time (the machine, the sheet, a member of a
// pattern, or one step of the work or of a pattern's body) and reads it into
// the job as soon as it is complete.  However long the work or a body, only
// one step is held as a tree; of a long list (the elements of a laser
// contour, the clamps, the stations, the laser technologies) only one item,
// read and dropped as soon as it is complete: every list is read in time
// and memory that grow with its length alone.
#include "job/job_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "job/flat_body.h"
#include "job/job_sections.h"
#include "job/json_field.h"
#include "job/json_scanner.h"
#include "job/json_tree.h"
#include "job/machine_file.h"
#include "job/work_steps.h"

namespace job {
namespace {

// The scanner's events, turned into the job.
class JobStream : public JsonEvents {
public:
    JobStream(Job &job, const std::string &base_dir, const MachineFile *machine_file)
        : job_(job), context_(job), base_dir_(base_dir), patterns_(context_),
          command_line_machine_file_(machine_file != nullptr) {
        if (machine_file != nullptr) use_machine_file(*machine_file);
    }

    // ---- Values
    void null() override {
        if (flat_ != Flat::none) leave_flat();
        begin_value(JsonKind::null);
        part_.add_null();
        value_added();
    }
    void boolean(bool v) override {
        if (flat_ != Flat::none) leave_flat();
        begin_value(JsonKind::boolean);
        part_.add_boolean(v);
        value_added();
    }
    void negative_integer(long long v) override {
        if (flat_ == Flat::inside) return flat_body_.add_negative_integer(v);
        if (flat_ != Flat::none) leave_flat();
        begin_value(JsonKind::negative_integer);
        part_.add_negative_integer(v);
        value_added();
    }
    void integer(unsigned long long v) override {
        if (flat_ == Flat::inside) return flat_body_.add_integer(v);
        if (flat_ != Flat::none) leave_flat();
        begin_value(JsonKind::integer);
        part_.add_integer(v);
        value_added();
    }
    void fraction(double v) override {
        if (flat_ == Flat::inside) return flat_body_.add_fraction(v);
        if (flat_ != Flat::none) leave_flat();
        begin_value(JsonKind::fraction);
        part_.add_fraction(v);
        value_added();
    }
    void text(std::string_view v) override {
        if (flat_ != Flat::none) leave_flat();
        begin_value(JsonKind::text);
        part_.add_text(v);
        value_added();
    }

    // ---- Objects and arrays
    void start_object() override;
    void key(std::string_view name) override;
    void end_object() override;
    void start_array() override;
    void end_array() override {
        if (flat_ != Flat::none) leave_flat();
        if (pattern_event_taken(false, false)) return;
        end_container();
    }

    // The whole text has been read: the defaults of what it left out, and
    // the checks that waited for the end.
    void finish();

private:
    // Where the scanner stands in the file's own structure: in the work or
    // a pattern's body its steps are parts; in the patterns section each
    // pattern's members other than the body.
    enum class Place { before_file, in_file, in_work, in_patterns, in_pattern, in_body, after_file };
    // The long list being read item by item, if any.
    enum class List { none, step_items, clamps, stations, technologies };
    // A work step held back from the tree, to be read flat (see
    // StepKind::flat): the step has begun, its key named a kind that
    // reads flat, its body is being read, or it has been read.
    enum class Flat { none, step_open, may_start, inside, closed };
    static constexpr std::size_t NO_LIST = static_cast<std::size_t>(-1);

    void leave_flat();
    bool took_flat_step();
    void begin_value(JsonKind kind);
    void value_added();
    void end_container();
    bool in_long_list() const { return list_ != List::none && part_.depth() == list_level_ + 1; }
    bool in_steps() const { return place_ == Place::in_work || place_ == Place::in_body; }
    JsonPath part_path() const;
    void step_done();
    bool pattern_event_taken(bool object, bool open);
    List long_list_starting(const StepKind *&kind) const;
    void item_done();
    void part_done();
    void read_section(const JsonField &part);
    [[noreturn]] void fail_file(const char *found) const;

    // ---- The machine file, and what the job gives itself of the same parts.
    void read_machine_file_key(const JsonField &part);
    void use_machine_file(const MachineFile &file);
    void update_turret(bool complete);
    void update_technologies(bool complete);
    void join_machine();

    Job &job_;
    WorkContext context_;
    const std::string &base_dir_;

    Place place_ = Place::before_file;
    std::string_view file_key_;    // the member of the file being read: "machine", "work", ... (of FILE_KEYS)
    std::vector<std::string_view> file_keys_seen_;
    std::size_t steps_ = 0;        // work steps read
    PatternsReader patterns_;
    std::size_t patterns_begun_ = 0;
    std::string pattern_key_;      // the member of the pattern being read
    std::vector<std::string> pattern_keys_seen_;
    std::size_t body_steps_ = 0;   // steps read of the body being read

    // A machine file named on the command line, or by the job and read here.
    const MachineFile *machine_file_ = nullptr;
    std::optional<MachineFile> own_machine_file_;
    bool command_line_machine_file_;
    bool machine_file_settled_ = false;   // none can come any more
    // The job's own machine (as a tree: read again onto the machine file's
    // at the end), turret and technologies.
    std::optional<JsonTree> job_machine_;
    std::optional<std::vector<double>> job_clamps_;   // the job's clamps, read item by item
    std::optional<std::vector<Station>> job_turret_;
    std::optional<std::vector<LaserTechnology>> job_technologies_;
    bool turret_in_force_ = false;        // the work is checked against job_.turret

    JsonTree part_;                // the part being built
    // A long list being read item by item: what it is, its level in the
    // part, the step's kind for a step's list, and the items handed on so far.
    List list_ = List::none;
    std::size_t list_level_ = NO_LIST;
    const StepKind *list_kind_ = nullptr;
    std::size_t handed_ = 0;
    std::size_t list_items_ = 0;   // items handed on of the last list, for the step's reader
    // The sections' lists as their items come; the section's reader gets
    // its list empty.
    std::vector<double> clamps_;
    std::vector<Station> turret_;
    std::vector<LaserTechnology> technologies_;
    std::set<int> technology_numbers_;

    Flat flat_ = Flat::none;
    const StepKind *flat_kind_ = nullptr;
    FlatBody flat_body_;           // the body held back from the tree
};

const JsonPath WORK_PATH = JsonPath().key("work");
const std::vector<Station> NO_STATIONS;
const std::vector<LaserTechnology> NO_TECHNOLOGIES;
const JsonPath PATTERNS_PATH = JsonPath().key("patterns");
constexpr std::string_view PATTERN_KEYS[] = {"number", "name", "body"};

// "$schema" names a schema for editors and is otherwise left alone.
constexpr std::string_view FILE_KEYS[] = {"$schema", "machine_file", "machine", "sheet", "turret",
                                          "laser_technologies", "patterns", "work"};

void JobStream::fail_file(const char *found) const { throw JobError(std::string("/: expected an object, found ") + found); }

// A value or a container is about to be added: one that is a part by
// itself starts a new part.
void JobStream::begin_value(JsonKind kind) {
    if (place_ == Place::before_file) fail_file(kind_name(kind));
    if (part_.depth() == 0) part_.clear(part_path());
}

// The path of a part that starts where the scanner stands.
JsonPath JobStream::part_path() const {
    switch (place_) {
    case Place::in_work: return WORK_PATH.index(steps_);
    case Place::in_body: return PATTERNS_PATH.index(patterns_begun_ - 1).key("body").index(body_steps_);
    case Place::in_pattern: return PATTERNS_PATH.index(patterns_begun_ - 1).key(pattern_key_);
    case Place::in_patterns: return PATTERNS_PATH.index(patterns_begun_);
    default: return JsonPath().key(file_key_);
    }
}

// A step of the work or of a body has been read.
void JobStream::step_done() {
    list_items_ = 0;
    if (place_ == Place::in_body) {
        patterns_.body_step_read();
        ++body_steps_;
    } else {
        ++steps_;
    }
}

// The patterns section's own structure, outside any part: a pattern, its
// body.  True when the event was one of them.
bool JobStream::pattern_event_taken(bool object, bool open) {
    if (part_.depth() != 0 || flat_ != Flat::none) return false;
    if (open && !object && place_ == Place::in_file && file_key_ == "patterns") {
        place_ = Place::in_patterns;
    } else if (open && object && place_ == Place::in_patterns) {
        place_ = Place::in_pattern;
        patterns_.begin_pattern(patterns_begun_++);
        pattern_keys_seen_.clear();
    } else if (open && !object && place_ == Place::in_pattern && pattern_key_ == "body") {
        place_ = Place::in_body;
        body_steps_ = 0;
        patterns_.begin_body();
    } else if (!open && !object && place_ == Place::in_body) {
        place_ = Place::in_pattern;
        patterns_.end_body();
    } else if (!open && object && place_ == Place::in_pattern) {
        place_ = Place::in_patterns;
        patterns_.end_pattern();
    } else if (!open && !object && place_ == Place::in_patterns) {
        place_ = Place::in_file;
        patterns_.finish();
    } else {
        return false;
    }
    return true;
}

void JobStream::value_added() {
    if (part_.depth() == 0) part_done();
    else if (in_long_list()) item_done();
}

// ---- Steps read flat ------------------------------------------------------------

// What was held back goes to the tree after all, as far as it was read: the
// step, its kind, its body.
void JobStream::leave_flat() {
    const Flat was = flat_;
    flat_ = Flat::none;
    begin_value(JsonKind::object);
    part_.open(JsonKind::object);
    if (was == Flat::step_open) return;
    part_.add_key(flat_kind_->name);
    if (was == Flat::may_start) return;
    part_.open(JsonKind::object);
    for (std::size_t i = 0; i < flat_body_.count(); ++i) {
        part_.add_key(flat_body_.key(i));  // never twice: the flat body took no key twice
        const FlatBody::Value *v = flat_body_.value(i);
        if (v == nullptr) break;  // the last key, its value still to come
        switch (v->kind) {
        case JsonKind::negative_integer: part_.add_negative_integer(v->negative); break;
        case JsonKind::integer: part_.add_integer(v->whole); break;
        default: part_.add_fraction(v->number); break;
        }
    }
    if (was == Flat::closed) part_.close();
}

// The step whose body was read flat ends: taken when its kind's flat reader
// takes it.
bool JobStream::took_flat_step() {
    if (context_.open_cut() != nullptr || !flat_kind_->flat->read(flat_body_, context_)) return false;
    flat_ = Flat::none;
    step_done();
    return true;
}

// ---- Objects and arrays ----------------------------------------------------------

void JobStream::start_object() {
    if (flat_ == Flat::may_start) {
        flat_ = Flat::inside;
        flat_body_.clear(*flat_kind_->flat);
        return;
    }
    if (flat_ != Flat::none) leave_flat();
    if (place_ == Place::before_file) {
        place_ = Place::in_file;
        return;
    }
    if (pattern_event_taken(true, true)) return;
    if (in_steps() && part_.depth() == 0) {
        // A step: held back until its kind is known.
        flat_ = Flat::step_open;
        return;
    }
    begin_value(JsonKind::object);
    part_.open(JsonKind::object);
}

void JobStream::end_object() {
    if (flat_ == Flat::inside) {
        flat_ = Flat::closed;
        return;
    }
    if (flat_ == Flat::closed && took_flat_step()) return;
    if (flat_ != Flat::none) leave_flat();
    if (pattern_event_taken(true, false)) return;
    end_container();
}

void JobStream::start_array() {
    if (flat_ != Flat::none) leave_flat();
    if (place_ == Place::before_file) fail_file("an array");
    if (place_ == Place::in_file && part_.depth() == 0 && file_key_ == "work") {
        // The work is read step by step, never as a whole.
        place_ = Place::in_work;
        return;
    }
    if (pattern_event_taken(false, true)) return;
    const StepKind *kind = nullptr;
    const List list = long_list_starting(kind);
    begin_value(JsonKind::array);
    part_.open(JsonKind::array);
    if (list != List::none) {
        list_ = list;
        list_kind_ = kind;
        list_level_ = part_.depth() - 1;
        handed_ = 0;
    }
}

// Which long list the array now starting is, if any: the member of a step's
// body that its kind names (kind), the machine's clamps, the turret, the
// laser technologies.
JobStream::List JobStream::long_list_starting(const StepKind *&kind) const {
    if (place_ == Place::in_file) {
        if (part_.depth() == 0) {
            if (file_key_ == "turret") return List::stations;
            if (file_key_ == "laser_technologies") return List::technologies;
            return List::none;
        }
        const bool clamps = file_key_ == "machine" && part_.depth() == 1 &&
                            part_.open_node(0).kind == JsonKind::object && part_.pending_key() == "clamps";
        return clamps ? List::clamps : List::none;
    }
    if (!in_steps() || part_.depth() != 2) return List::none;
    if (part_.open_node(0).kind != JsonKind::object || part_.open_node(1).kind != JsonKind::object) return List::none;
    kind = find_step_kind(part_.key(part_.node(part_.last_member(0))));
    const bool list = kind != nullptr && kind->long_list != nullptr && part_.pending_key() == kind->long_list;
    return list ? List::step_items : List::none;
}

void JobStream::key(std::string_view name) {
    if (flat_ == Flat::step_open) {
        // The kind of a step held back: its body may be read flat.
        const StepKind *kind = find_step_kind(name);
        if (kind != nullptr && kind->flat != nullptr) {
            flat_ = Flat::may_start;
            flat_kind_ = kind;
            return;
        }
        leave_flat();
    } else if (flat_ == Flat::inside) {
        if (flat_body_.add_key(name)) return;
        leave_flat();
    } else if (flat_ != Flat::none) {
        leave_flat();
    }
    if (part_.depth() == 0 && place_ == Place::in_pattern) {
        // A member of a pattern.
        const JsonPath path = PATTERNS_PATH.index(patterns_begun_ - 1).key(name);
        bool known = false;
        for (std::string_view k : PATTERN_KEYS) known = known || name == k;
        if (!known) fail_unknown_key(path, name, PATTERN_KEYS);
        for (const std::string &seen : pattern_keys_seen_) {
            if (seen == name) throw JobError(path.text() + ": key \"" + seen + "\" given twice");
        }
        pattern_key_ = name;
        pattern_keys_seen_.push_back(pattern_key_);
        return;
    }
    if (part_.depth() == 0) {
        // A member of the file itself.
        const auto known = std::find(std::begin(FILE_KEYS), std::end(FILE_KEYS), name);
        if (known == std::end(FILE_KEYS)) fail_unknown_key(JsonPath().key(name), name, FILE_KEYS);
        file_key_ = *known;
        const JsonPath path = JsonPath().key(file_key_);
        for (std::string_view seen : file_keys_seen_) {
            if (seen == name) throw JobError(path.text() + ": key \"" + std::string(file_key_) + "\" given twice");
        }
        file_keys_seen_.push_back(file_key_);
        return;
    }
    if (!part_.add_key(name)) {
        const JsonPath object = part_.path_of(part_.open_at(part_.depth() - 1));
        throw JobError(object.key(name).text() + ": key \"" + std::string(name.substr(0, 60)) + "\" given twice");
    }
}

void JobStream::end_container() {
    if (part_.depth() == 0) {
        // The end of the work array, or of the file.
        place_ = place_ == Place::in_work ? Place::in_file : Place::after_file;
        return;
    }
    if (in_long_list()) {
        if (list_ == List::step_items) list_items_ = handed_;
        list_ = List::none;
        list_level_ = NO_LIST;
    }
    part_.close();
    value_added();
}

// An item of a long list is complete: it is read, then dropped.
void JobStream::item_done() {
    const JsonField item(part_, part_.last_member(list_level_));
    switch (list_) {
    case List::step_items: list_kind_->read_item(item, handed_, context_); break;
    case List::clamps: clamps_.push_back(item.number()); break;
    case List::stations: read_station(JsonField(part_, 0), item, turret_); break;
    case List::technologies: read_technology(item, technologies_, technology_numbers_); break;
    case List::none: break;
    }
    ++handed_;
    part_.drop_open_members();
}

void JobStream::part_done() {
    const JsonField part(part_, 0);
    if (in_steps()) {
        if (place_ == Place::in_body) patterns_.check_body_step(part);
        read_work_step(part, context_, list_items_);
        step_done();
    } else if (place_ == Place::in_pattern) {
        patterns_.read_member(pattern_key_, part);
    } else if (place_ == Place::in_patterns) {
        part.expect_object(PATTERN_KEYS);  // a pattern given as something else than an object: refused
    } else {
        read_section(part);
    }
}

void JobStream::read_section(const JsonField &part) {
    if (file_key_ == "machine") {
        Machine checked;  // read again at the end, onto the machine file's
        read_machine(part, base_dir_, checked);
        job_machine_.emplace(std::move(part_));
        part_ = JsonTree();
        // The clamps were read item by item; the tree holds their list empty.
        if (JsonField(*job_machine_, 0).has("clamps")) job_clamps_ = std::move(clamps_);
        clamps_ = {};
    } else if (file_key_ == "machine_file") {
        read_machine_file_key(part);
    } else if (file_key_ == "$schema") {
        part.text(std::numeric_limits<std::size_t>::max());
    } else if (file_key_ == "sheet") {
        job_.sheet = read_sheet(part);
    } else if (file_key_ == "turret") {
        read_turret(part);  // a turret given as something else than an array: refused
        job_turret_ = std::move(turret_);
        turret_ = {};
        update_turret(machine_file_settled_);
    } else if (file_key_ == "laser_technologies") {
        read_technologies(part);  // as the turret
        job_technologies_ = std::move(technologies_);
        technologies_ = {};
        technology_numbers_ = {};
        update_technologies(machine_file_settled_);
    } else {
        part.array_size();  // the work, given as something else than an array: refused
    }
}

// ---- The machine file ------------------------------------------------------------

// The job's "machine_file": read at once, unless the command line named
// another.
void JobStream::read_machine_file_key(const JsonField &part) {
    const std::string named = part.text(std::numeric_limits<std::size_t>::max());
    if (named.empty()) part.fail("the machine file must not be empty");
    if (command_line_machine_file_) {
        job_.machine_source.notes.push_back("/machine_file \"" + named.substr(0, 200) +
                                            "\": not read, the command line names the machine file");
        return;
    }
    try {
        own_machine_file_.emplace(read_machine_file(machine_file_path(named, base_dir_)));
    } catch (const JobError &e) {
        part.fail(e.what());
    }
    use_machine_file(*own_machine_file_);
}

void JobStream::use_machine_file(const MachineFile &file) {
    machine_file_ = &file;
    machine_file_settled_ = true;
    job_.machine_source.file = file.name;
    // Complete where the job's own part has been read already.
    update_turret(job_turret_.has_value());
    update_technologies(job_technologies_.has_value());
}

// The turret the work is checked against: the machine file's and the job's,
// joined, as far as they have been read.
void JobStream::update_turret(bool complete) {
    const bool from_file = machine_file_ != nullptr && machine_file_->has_turret;
    if (!from_file && !job_turret_) return;  // nothing known yet: references wait
    const std::vector<Station> before = std::move(job_.turret);
    job_.turret = join_turret(from_file ? machine_file_->turret : NO_STATIONS, job_turret_ ? *job_turret_ : NO_STATIONS,
                              nullptr);
    // What was read against the turret before must still find its punches.
    if (turret_in_force_ && (steps_ > 0 || patterns_begun_ > 0)) check_punches_kept(job_, before);
    turret_in_force_ = true;
    context_.turret_known(complete);
}

void JobStream::update_technologies(bool complete) {
    const bool from_file = machine_file_ != nullptr && machine_file_->has_technologies;
    if (!from_file && !job_technologies_) return;
    // The job's take the place of the file's of the same number: no number
    // checked before is lost.
    job_.technologies = join_technologies(from_file ? machine_file_->technologies : NO_TECHNOLOGIES,
                                          job_technologies_ ? *job_technologies_ : NO_TECHNOLOGIES, nullptr);
    context_.technologies_known(complete);
}

// The machine: the machine file's, the job's own keys read onto it; the
// lines of the trace for whatever both give.
void JobStream::join_machine() {
    Machine m;
    bool dir_given = false;
    if (machine_file_ != nullptr && machine_file_->machine != 0) {
        const JsonField file_machine(machine_file_->tree, machine_file_->machine);
        read_machine(file_machine, machine_file_->folder, m);
        dir_given = file_machine.has("machine_dir");
        if (job_machine_) note_machine_keys(file_machine, *job_machine_, job_.machine_source.notes);
    }
    if (job_machine_) {
        const JsonField own(*job_machine_, 0);
        read_machine(own, base_dir_, m);
        if (job_clamps_) m.clamps = std::move(*job_clamps_);
        dir_given = dir_given || own.has("machine_dir");
    }
    if (!dir_given) m.machine_dir = resolve_machine_dir(".", base_dir_);
    job_.machine = std::move(m);
    if (machine_file_ != nullptr) {
        // Only for the trace's lines: the joined lists are in the job already.
        if (machine_file_->has_turret && job_turret_) join_turret(machine_file_->turret, *job_turret_, &job_.machine_source.notes);
        if (machine_file_->has_technologies && job_technologies_) {
            join_technologies(machine_file_->technologies, *job_technologies_, &job_.machine_source.notes);
        }
    }
}

void JobStream::finish() {
    // No machine file can come any more: what has been read is complete.
    machine_file_settled_ = true;
    update_turret(true);
    update_technologies(true);
    join_machine();
    // The turret turns the shorter way round its stations: none can be
    // beyond them.  Left out, they are 32 or as many as the highest station.
    for (const Station &s : job_.turret) {
        if (!job_.machine.turret_stations_given) {
            job_.machine.turret_stations = std::max(job_.machine.turret_stations, s.station);
        } else if (s.station > job_.machine.turret_stations) {
            throw JobError("/machine/turret_stations: " + std::to_string(job_.machine.turret_stations) +
                           " stations round the turret, but the turret names station " + std::to_string(s.station) +
                           " (tool " + std::to_string(s.tool) + ")");
        }
    }
    context_.finish();
}

// Room for the work of a text of size bytes at once, rather than grown step
// by step: a long job's steps are then never copied.  Room for a step per
// TEXT_BYTES_PER_STEP bytes, the size of a short hit; only address space
// until the steps come.  Beyond MAX_RESERVED_STEPS the work grows as it comes.
void reserve_work(Job &job, std::size_t size) {
    constexpr std::size_t TEXT_BYTES_PER_STEP = 32;
    constexpr std::size_t MAX_RESERVED_STEPS = std::size_t{1} << 24;
    try {
        job.work.reserve(std::min(size / TEXT_BYTES_PER_STEP, MAX_RESERVED_STEPS));
    } catch (const std::bad_alloc &) {
        // Only a saving: without it the work grows as it is read.
    }
}

// A job file, read in pieces.
class FileText : public TextSource {
public:
    FileText(std::ifstream &in, std::size_t size) : in_(in), size_(size), piece_(PIECE_SIZE) {}
    std::size_t size_hint() const override { return size_; }
    std::string_view next_piece() override {
        in_.read(piece_.data(), static_cast<std::streamsize>(piece_.size()));
        if (in_.bad()) throw JobError("cannot read the job file");
        return {piece_.data(), static_cast<std::size_t>(in_.gcount())};
    }

private:
    static constexpr std::size_t PIECE_SIZE = 1 << 16;
    std::ifstream &in_;
    std::size_t size_;
    std::vector<char> piece_;
};

}  // namespace

std::string resolve_machine_dir(const std::string &dir, const std::string &base_dir) {
    std::filesystem::path p(dir);
    if (p.is_relative() && !base_dir.empty()) p = std::filesystem::path(base_dir) / p;
    std::string out = p.lexically_normal().string();
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    // The root alone: the module puts the separator in front of LASER.PAR.
    if (out == "/") out.clear();
    if (out.size() > MAX_MACHINE_DIR_LENGTH) {
        throw JobError("machine directory \"" + out.substr(0, 40) + "...\" is longer than " +
                       std::to_string(MAX_MACHINE_DIR_LENGTH) + " bytes");
    }
    return out;
}

Job read_job(TextSource &source, const std::string &base_dir, const MachineFile *machine_file) {
    Job job;
    reserve_work(job, source.size_hint());
    JobStream stream(job, base_dir, machine_file);
    scan_json(source, stream);
    stream.finish();
    return job;
}

Job parse_job(const std::string &text, const std::string &base_dir, const MachineFile *machine_file) {
    TextInMemory source(text);
    return read_job(source, base_dir, machine_file);
}

Job read_job_file(const std::string &path, const MachineFile *machine_file) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw JobError(path + ": is a directory, not a job file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw JobError(path + ": cannot open the job file: " + std::strerror(errno));
    const std::string base = std::filesystem::path(path).parent_path().string();
    try {
        const std::uintmax_t size = std::filesystem::file_size(path, ec);
        FileText source(in, ec ? 0 : static_cast<std::size_t>(size));
        return read_job(source, base.empty() ? "." : base, machine_file);
    } catch (const JobError &e) {
        throw JobError(path + ": " + e.what());
    }
}

}  // namespace job
