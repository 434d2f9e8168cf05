// program_alone.cpp - a program's own header read, for a program without its
// job.
#include "cli/program_alone.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "job/job_reader.h"
#include "nc/block_reader.h"

namespace cli {
namespace {

// The header stands before the body: its lines are among the first.
constexpr int HEADER_LINES = 64;

// The words of a text, split at blanks.
std::vector<std::string> words_of(const std::string &text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

bool number_of(const std::string &text, double &value) {
    if (text.empty()) return false;
    char *end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && errno == 0 && std::isfinite(value);
}

// What the header says; lengths in the program's unit.
struct Header {
    bool sheet = false;
    double thickness = 0.0, size_x = 0.0, size_y = 0.0;
    std::string nest_name;
    bool clamps_read = false;          // the clamp comment was there ("()": no clamps)
    std::vector<double> clamps;
    HeaderLines lines;
};

[[noreturn]] void refuse(const std::string &name, long long line, const std::string &what) {
    throw job::JobError(name + ": line " + std::to_string(line) + ": " + what);
}

// "(SHEET - 1.5 X 2500 Y 1250)": a word, "-", thickness, X size, Y size.
bool sheet_comment(const std::vector<std::string> &w, Header &h, const std::string &name, long long line) {
    if (w.size() != 7 || w[1] != "-" || w[3] != "X" || w[5] != "Y") return false;
    if (!number_of(w[2], h.thickness) || !number_of(w[4], h.size_x) || !number_of(w[6], h.size_y)) {
        refuse(name, line, "the sheet's thickness and size in the header are no numbers");
    }
    h.sheet = true;
    return true;
}

// "(CLAMP 1 400 CLAMP 2 1300 )": word, its number from 1, position; again.
bool clamp_comment(const std::vector<std::string> &w, Header &h) {
    if (w.empty() || w.size() % 3 != 0) return false;
    std::vector<double> clamps;
    for (std::size_t i = 0; i < w.size(); i += 3) {
        double number = 0.0, position = 0.0;
        if (w[i] != w[0] || !number_of(w[i + 1], number) || number != static_cast<double>(i / 3 + 1) ||
            !number_of(w[i + 2], position)) {
            return false;
        }
        clamps.push_back(position);
    }
    h.clamps = std::move(clamps);
    return true;
}

Header read_header(std::FILE *program, const std::string &name) {
    Header h;
    std::rewind(program);
    std::string line, previous_comment;
    long long number = 0;
    for (int c = 0; number < HEADER_LINES && !h.clamps_read;) {
        line.clear();
        while ((c = std::fgetc(program)) != EOF && c != '\n') {
            if (line.size() < nc::MAX_LINE_LENGTH) line += static_cast<char>(c);
        }
        if (c == EOF && line.empty()) break;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("MAT/", 0) == 0 && !h.sheet) {
            // MAT/B3 H1.5 X2500 Y1250
            const std::vector<std::string> w = words_of(line.substr(4));
            if (w.size() == 4 && w[1][0] == 'H' && w[2][0] == 'X' && w[3][0] == 'Y') {
                if (!number_of(w[1].substr(1), h.thickness) || !number_of(w[2].substr(1), h.size_x) ||
                    !number_of(w[3].substr(1), h.size_y)) {
                    refuse(name, number, "the material block's thickness and size are no numbers");
                }
                h.sheet = true;
                h.lines.sheet = number;
            }
            continue;
        }
        if (line.size() < 2 || line.front() != '(' || line.back() != ')') continue;
        const std::string inside = line.substr(1, line.size() - 2);
        const std::vector<std::string> w = words_of(inside);
        if (sheet_comment(w, h, name, number)) {
            if (!previous_comment.empty()) h.nest_name = previous_comment;
            h.lines.sheet = number;
        } else if (h.sheet && (w.empty() || clamp_comment(w, h))) {
            h.clamps_read = true;
            h.lines.clamps = number;
        }
        previous_comment = inside;
    }
    std::rewind(program);
    return h;
}

// A job's text with the sheet of the header: the reader takes it with the
// machine file, as it takes any job.
std::string job_text(const Header &h, double mm) {
    std::ostringstream out;
    out.precision(17);
    out << "{\"sheet\": {";
    if (h.sheet) {
        out << "\"thickness\": " << h.thickness * mm << ", \"size\": [" << h.size_x * mm << ", " << h.size_y * mm << "], ";
    }
    out << "\"nest_name\": \"\"}, \"work\": []}";
    return out.str();
}

}  // namespace

bool holds_a_program(const std::string &path) {
    if (path == "-") return false;
    std::ifstream in(path, std::ios::binary);
    char c = 0;
    while (in.get(c)) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        // A byte order mark before a job's "{".
        if (static_cast<unsigned char>(c) == 0xef) return false;
        return c != '{';
    }
    return false;
}

job::Job job_of_program(std::FILE *program, const std::string &name, const job::MachineFile *machine_file) {
    HeaderLines lines;
    return job_of_program(program, name, machine_file, lines);
}

job::Job job_of_program(std::FILE *program, const std::string &name, const job::MachineFile *machine_file,
                        HeaderLines &lines) {
    const Header h = read_header(program, name);
    lines = h.lines;
    // The units come from the machine: read the machine file alone first.
    const job::Job machine_only = job::parse_job(job_text(Header{}, 1.0), "", machine_file);
    const double mm = machine_only.machine.inch ? nc::MM_PER_INCH : 1.0;
    job::Job job = job::parse_job(job_text(h, mm), "", machine_file);
    job.sheet.nest_name = h.nest_name;
    if (h.clamps_read) {
        job.machine.clamps.clear();
        for (double c : h.clamps) job.machine.clamps.push_back(c * mm);
    }
    return job;
}

nc::Setup setup_of_program(const job::Job &job) {
    nc::Setup setup;
    setup.inch = job.machine.inch;
    setup.load_x = job.machine.load_x;
    setup.load_y = job.machine.load_y;
    setup.known.foreign_commands = true;
    return setup;
}

}  // namespace cli
