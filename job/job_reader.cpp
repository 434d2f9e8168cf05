// job_reader.cpp - the job file: JSON in, job::Job out, every value checked,
// in one pass over the text.
//
// The parser hands its events to JobStream, which builds a small JSON value
// for one part of the file at a time (the machine, the sheet, the turret, the
// technologies, the patterns, or one step of the work) and reads it into the job as soon
// as it is complete.  However long the work, only one step is held as JSON,
// and of a step with a long list (the elements of a laser contour) only one
// item of the list.
#include "job/job_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "job/job_sections.h"
#include "job/json_field.h"
#include "job/work_steps.h"

namespace job {
namespace {

using json = nlohmann::json;

// A fault of the JSON text itself, at a byte position (counted from 1); the
// caller turns the position into a line and a column.
struct SyntaxFault {
    std::size_t byte;
    std::string detail;
};

// nlohmann's error id of a number too large for a double.
constexpr int NUMBER_OVERFLOW_ID = 406;

// nlohmann's message without its own prefix and position, on one line.
std::string syntax_detail(const std::string &what) {
    std::string detail = what;
    auto at = detail.find("syntax error");
    if (at != std::string::npos) detail = detail.substr(at);
    std::string out;
    for (char c : detail) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (static_cast<unsigned char>(c) < 0x20) out += '?';
        else out += c;
    }
    return out;
}

// "line L, column C" of a byte position (counted from 1), for the bytes
// handed one after the other to add().
class LineCounter {
public:
    explicit LineCounter(std::size_t byte) : index_(byte > 0 ? byte - 1 : 0) {}
    // Takes the next bytes of the text; answers false once the position is reached.
    bool add(std::string_view bytes) {
        for (char c : bytes) {
            if (seen_ == index_) return false;
            ++seen_;
            if (c == '\n') {
                ++line_;
                line_start_ = seen_;
            }
        }
        return seen_ < index_;
    }
    std::string text() const {
        return "line " + std::to_string(line_) + ", column " + std::to_string(seen_ - line_start_ + 1);
    }

private:
    std::size_t index_;
    std::size_t seen_ = 0;
    std::size_t line_ = 1;
    std::size_t line_start_ = 0;
};

// The parser's events, turned into the job.
class JobStream {
public:
    JobStream(Job &job, const std::string &base_dir) : job_(job), context_(job), base_dir_(base_dir) {}

    // ---- Values
    bool null() { return value(json(nullptr)); }
    bool boolean(bool v) { return value(json(v)); }
    bool number_integer(json::number_integer_t v) { return value(json(v)); }
    bool number_unsigned(json::number_unsigned_t v) { return value(json(v)); }
    bool number_float(json::number_float_t v, const json::string_t &) { return value(json(v)); }
    bool string(json::string_t &v) { return value(json(std::move(v))); }
    bool binary(json::binary_t &v) { return value(json::binary(std::move(v))); }

    // ---- Objects and arrays
    bool start_object(std::size_t);
    bool key(json::string_t &name);
    bool end_object() { return end_container(); }
    bool start_array(std::size_t);
    bool end_array() { return end_container(); }

    bool parse_error(std::size_t position, const std::string &last_token, const nlohmann::detail::exception &e);

    // The whole text has been read: the defaults of what it left out, and
    // the checks that waited for the end.
    void finish();

private:
    // Where the parser stands in the file's own structure.
    enum class Place { before_file, in_file, in_work, after_file };

    // One open object or array of the part being built.
    struct Level {
        json *container;
        const std::string *key = nullptr;       // objects: the member being read
        std::size_t handed = NOT_A_LONG_LIST;   // a step's long list: its items handed on so far
    };
    static constexpr std::size_t NOT_A_LONG_LIST = static_cast<std::size_t>(-1);

    bool value(json &&v);
    bool start_container(json &&empty);
    bool end_container();
    json *new_child(json &&v);  // places v in the open container, answers where
    const StepKind *long_list_starting() const;
    void item_done();
    void part_done();
    void read_section(const JsonField &part);
    JsonPath path_inside() const;
    [[noreturn]] void fail_file(const char *found) const;

    Job &job_;
    WorkContext context_;
    const std::string &base_dir_;

    Place place_ = Place::before_file;
    std::string file_key_;         // the member of the file being read: "machine", "work", ...
    std::vector<std::string> file_keys_seen_;
    bool machine_read_ = false;
    std::size_t steps_ = 0;        // work steps read
    const StepKind *kind_ = nullptr;  // the kind whose long list is being read
    std::size_t list_items_ = 0;   // items of the step's long list handed on

    json part_;                    // the part being built
    JsonPath part_path_;
    std::vector<Level> levels_;    // its open containers, outermost first
    json *slot_ = nullptr;         // the object member that the next value fills
};

constexpr std::initializer_list<const char *> FILE_KEYS = {"machine", "sheet", "turret", "laser_technologies",
                                                           "patterns", "work"};

void JobStream::fail_file(const char *found) const { throw JobError(std::string("/: expected an object, found ") + found); }

bool JobStream::start_object(std::size_t) {
    if (place_ == Place::before_file) {
        place_ = Place::in_file;
        return true;
    }
    return start_container(json::object());
}

bool JobStream::start_array(std::size_t) {
    if (place_ == Place::before_file) fail_file("an array");
    if (place_ == Place::in_file && levels_.empty() && file_key_ == "work") {
        // The work is read step by step, never as a whole.
        place_ = Place::in_work;
        return true;
    }
    const StepKind *kind = long_list_starting();
    start_container(json::array());
    if (kind != nullptr) {
        kind_ = kind;
        levels_.back().handed = 0;
    }
    return true;
}

// The kind of step whose long list the array now starting is, or nullptr:
// the array is the member of the step's body that the kind names.
const StepKind *JobStream::long_list_starting() const {
    if (place_ != Place::in_work || levels_.size() != 2) return nullptr;
    const Level &step = levels_[0];
    const Level &body = levels_[1];
    if (!step.container->is_object() || !body.container->is_object() || step.key == nullptr || body.key == nullptr) {
        return nullptr;
    }
    const StepKind *kind = find_step_kind(*step.key);
    return kind != nullptr && kind->long_list != nullptr && *body.key == kind->long_list ? kind : nullptr;
}

bool JobStream::key(json::string_t &name) {
    if (levels_.empty()) {
        // A member of the file itself.
        const JsonPath path = JsonPath().key(name);
        bool known = false;
        for (const char *k : FILE_KEYS) known = known || name == k;
        if (!known) fail_unknown_key(path, name, FILE_KEYS);
        for (const std::string &seen : file_keys_seen_) {
            if (seen == name) throw JobError(path.text() + ": key \"" + name + "\" given twice");
        }
        file_keys_seen_.push_back(name);
        file_key_ = name;
        return true;
    }
    auto &members = levels_.back().container->get_ref<json::object_t &>();
    auto [at, inserted] = members.try_emplace(std::move(name), nullptr);
    if (!inserted) {
        throw JobError(path_inside().key(at->first).text() + ": key \"" + at->first.substr(0, 60) + "\" given twice");
    }
    levels_.back().key = &at->first;
    slot_ = &at->second;
    return true;
}

json *JobStream::new_child(json &&v) {
    if (levels_.empty()) {
        part_ = std::move(v);
        part_path_ = place_ == Place::in_work ? JsonPath().key("work").index(steps_) : JsonPath().key(file_key_);
        return &part_;
    }
    json &container = *levels_.back().container;
    if (container.is_object()) {
        *slot_ = std::move(v);
        return slot_;
    }
    container.get_ref<json::array_t &>().push_back(std::move(v));
    return &container.back();
}

bool JobStream::value(json &&v) {
    if (place_ == Place::before_file) fail_file(kind_of(v).c_str());
    const bool whole_part = levels_.empty();
    new_child(std::move(v));
    if (whole_part) part_done();
    else if (levels_.back().handed != NOT_A_LONG_LIST) item_done();
    return true;
}

bool JobStream::start_container(json &&empty) {
    levels_.push_back(Level{new_child(std::move(empty)), nullptr});
    return true;
}

bool JobStream::end_container() {
    if (levels_.empty()) {
        // The end of the work array, or of the file.
        place_ = place_ == Place::in_work ? Place::in_file : Place::after_file;
        return true;
    }
    if (levels_.back().handed != NOT_A_LONG_LIST) list_items_ = levels_.back().handed;
    levels_.pop_back();
    if (levels_.empty()) part_done();
    else if (levels_.back().handed != NOT_A_LONG_LIST) item_done();
    return true;
}

// The path of the innermost open container of the part.
JsonPath JobStream::path_inside() const {
    JsonPath path = part_path_;
    for (std::size_t i = 0; i + 1 < levels_.size(); ++i) {
        const Level &level = levels_[i];
        if (level.container->is_object()) {
            path = path.key(*level.key);
        } else {
            const std::size_t before = level.handed != NOT_A_LONG_LIST ? level.handed : 0;
            path = path.index(before + level.container->size() - 1);
        }
    }
    return path;
}

// An item of a step's long list is complete: it is read, then dropped.
void JobStream::item_done() {
    Level &list = levels_.back();
    json &item = list.container->back();
    kind_->read_item(JsonField(item, path_inside().index(list.handed)), list.handed, context_);
    ++list.handed;
    list.container->get_ref<json::array_t &>().clear();
}

void JobStream::part_done() {
    const JsonField part(part_, part_path_);
    if (place_ == Place::in_work) {
        read_work_step(part, context_, list_items_);
        list_items_ = 0;
        ++steps_;
    } else {
        read_section(part);
    }
    part_ = nullptr;
}

void JobStream::read_section(const JsonField &part) {
    if (file_key_ == "machine") {
        job_.machine = read_machine(part, base_dir_);
        machine_read_ = true;
    } else if (file_key_ == "sheet") {
        job_.sheet = read_sheet(part);
    } else if (file_key_ == "turret") {
        job_.turret = read_turret(part);
        context_.turret_known();
    } else if (file_key_ == "laser_technologies") {
        job_.technologies = read_technologies(part);
        context_.technologies_known();
    } else if (file_key_ == "patterns") {
        read_patterns(part, context_);
        context_.patterns_known();
    } else {
        part.array_size();  // the work, given as something else than an array: refused
    }
}

bool JobStream::parse_error(std::size_t position, const std::string &last_token, const nlohmann::detail::exception &e) {
    if (e.id == NUMBER_OVERFLOW_ID) {
        // The position is the number's end: name its start.
        const std::size_t start = position >= last_token.size() ? position - last_token.size() + 1 : 1;
        throw SyntaxFault{start, "the number " + last_token.substr(0, 60) + " is too large"};
    }
    throw SyntaxFault{position, syntax_detail(e.what())};
}

void JobStream::finish() {
    if (!machine_read_) {
        const json no_machine = json::object();
        job_.machine = read_machine(JsonField(no_machine, JsonPath().key("machine")), base_dir_);
    }
    context_.finish();
}

// The parser takes a NUL byte for the end of the text: no JSON text holds
// one, and what follows it would be lost unseen.
[[noreturn]] void fail_nul_byte(std::size_t byte) { throw SyntaxFault{byte, "a NUL byte, which no JSON text holds"}; }

// Reads a job from input (a text or a stream); place_of(byte) names the
// line and column of a byte position of it, check_end() refuses a text the
// parser left before its end.
template <typename Input, typename PlaceOf, typename CheckEnd>
Job read_job(Input &input, const std::string &base_dir, PlaceOf place_of, CheckEnd check_end) {
    Job job;
    JobStream stream(job, base_dir);
    try {
        json::sax_parse(input, &stream);
        check_end();
    } catch (const SyntaxFault &fault) {
        throw JobError(place_of(fault.byte) + ": " + fault.detail);
    }
    stream.finish();
    return job;
}

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
                       std::to_string(MAX_MACHINE_DIR_LENGTH) + " characters");
    }
    return out;
}

Job parse_job(const std::string &text, const std::string &base_dir) {
    auto place_of = [&text](std::size_t byte) {
        LineCounter counter(byte);
        counter.add(text);
        return counter.text();
    };
    auto check_end = [&text]() {
        const auto nul = text.find('\0');
        if (nul != std::string::npos) fail_nul_byte(nul + 1);
    };
    return read_job(text, base_dir, place_of, check_end);
}

Job read_job_file(const std::string &path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw JobError(path + ": is a directory, not a job file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw JobError(path + ": cannot open the job file: " + std::strerror(errno));
    const std::string base = std::filesystem::path(path).parent_path().string();
    // A syntax error is rare: its line and column are found by reading the
    // file again up to its place.
    auto place_of = [&path](std::size_t byte) {
        LineCounter counter(byte);
        std::ifstream again(path, std::ios::binary);
        char chunk[65536];
        while (again.read(chunk, sizeof chunk) || again.gcount() > 0) {
            if (!counter.add(std::string_view(chunk, static_cast<std::size_t>(again.gcount())))) break;
        }
        return counter.text();
    };
    try {
        auto check_end = [&in]() {
            // The parser stopped early only at a NUL byte, which it has read.
            if (in.peek() != std::char_traits<char>::eof()) fail_nul_byte(static_cast<std::size_t>(in.tellg()));
        };
        Job job = read_job(in, base.empty() ? "." : base, place_of, check_end);
        if (in.bad()) throw JobError("cannot read the job file");
        return job;
    } catch (const JobError &e) {
        if (in.bad()) throw JobError(path + ": cannot read the job file");
        throw JobError(path + ": " + e.what());
    }
}

}  // namespace job
