// laser_par_section.cpp - the machine's LASER.PAR, read for the sheet.
#include "verify/laser_par_section.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace verify {
namespace {

constexpr std::size_t LONGEST_LINE = 510;
constexpr std::size_t LARGEST_FILE = 4u * 1024u * 1024u;
constexpr std::size_t LARGEST_SECTION = 16383;   // its lines, each with one byte for its end
constexpr double SAME_THICKNESS = 0.000001;
constexpr const char *BYTE_ORDER_MARK = "\xEF\xBB\xBF";

#ifdef _WIN32
constexpr const char *SEPARATOR = "\\";
#else
constexpr const char *SEPARATOR = "/";
#endif

// Whether the control runs text as a block of its own dialect: one of its
// commands, or a word (a letter, or DX, DY) with its number.
bool own_block(const std::string &text) {
    static const char *const COMMANDS[] = {"MAT/", "MOV/", "NBL/", "CAA/", "RAD/", "ARC/", "LAA/", "CIR/", "LCI/",
                                           "LED/", "LAL/", "LAR/", "OFS/", "MGR/", "REP/", "FRM/", "DWL/"};
    static const char *const WORDS[] = {"DX", "DY", "X", "Y", "T", "C", "M", "F", "S", "O"};
    for (const char *command : COMMANDS) {
        if (text.rfind(command, 0) == 0) return true;
    }
    for (const char *command : {"PAT", "END"}) {
        if (text.rfind(command, 0) == 0 && text.size() > 3 && text[3] >= '0' && text[3] <= '9') return true;
    }
    for (const std::string word : WORDS) {
        if (text.rfind(word, 0) != 0 || text.size() <= word.size()) continue;
        const char c = text[word.size()];
        if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') return true;
    }
    return false;
}

// The control character, "%", "(" or ")" problem of a data line, as the
// post warns of it, or "" for a line the control takes as one parameter.
std::string data_line_fault(const std::string &line) {
    int open = 0;
    bool stray_close = false;
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            return "Line of the laser parameter file holds a control character (a tab, an escape or the like), skipped";
        }
        if (c == '(') open = 1;
        if (c == ')') {
            if (open == 0) stray_close = true;
            open = 0;
        }
    }
    const std::size_t first = line.find_first_not_of(' ');
    const char lead = first == std::string::npos ? '\0' : line[first];
    if (lead == '%') return "Line of the laser parameter file begins with \"%\", the end of the program on the control, skipped";
    if (lead == '(') {
        return "Line of the laser parameter file is a comment on the control (it begins with \"(\"), not a parameter, skipped";
    }
    if (open != 0) return "Line of the laser parameter file opens a comment with \"(\" and does not close it, skipped";
    if (stray_close) return "Line of the laser parameter file closes a comment with \")\" that it did not open, skipped";
    if (own_block(line.substr(first == std::string::npos ? line.size() : first))) {
        return "Line of the laser parameter file is a block the control runs itself (a word such as X, M or T with its "
               "number, or a command such as OFS/), not a parameter, skipped";
    }
    return "";
}

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool fits(const std::string &header, const std::string &material, double thickness) {
    const std::size_t comma = header.rfind(',');
    if (comma == std::string::npos) return false;
    const std::string name = header.substr(1, comma - 1);
    if (name.size() > material.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (ascii_lower(name[i]) != ascii_lower(material[i])) return false;
    }
    const double header_thickness = std::strtod(header.c_str() + comma + 1, nullptr);
    return std::fabs(thickness - header_thickness) < SAME_THICKNESS;
}

}  // namespace

LaserParSection read_laser_par_section(const std::string &machine_dir, const std::string &material,
                                       double thickness) {
    LaserParSection section;
    section.path = machine_dir + SEPARATOR + "LASER.PAR";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(section.path, ec)) return section;
    std::ifstream in(section.path, std::ios::binary);
    if (!in) return section;
    // The bytes read, and the piece that goes beyond them: whether the file
    // goes on, and what the host's reader hands on while it finds that out.
    // Read into room for the file's size first (the usual file is a few
    // kilobytes), then on, should it have grown.
    constexpr std::size_t MOST_READ = LARGEST_FILE + LONGEST_LINE;
    const std::uintmax_t file_size = std::filesystem::file_size(section.path, ec);
    std::string text(ec ? MOST_READ : static_cast<std::size_t>(std::min<std::uintmax_t>(file_size + 1, MOST_READ)), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    std::size_t got = static_cast<std::size_t>(in.gcount());
    if (!in.bad() && got == text.size() && got < MOST_READ) {
        text.resize(MOST_READ);
        in.read(text.data() + got, static_cast<std::streamsize>(MOST_READ - got));
        got += static_cast<std::size_t>(in.gcount());
    }
    if (in.bad()) return section;
    text.resize(got);
    section.readable = true;
    const bool cut_off = text.size() > LARGEST_FILE;
    // The host reads the file for the module in pieces up to a line feed, of
    // at most the longest line each, and warns once of a piece that holds a
    // zero byte (a binary or UTF-16 file), naming the file by its real path.
    // The module asks for pieces up to the last byte it looks at (last;
    // std::string::npos: up to the end of the file, or of the piece that goes
    // beyond the limit).
    const std::string whole_text = cut_off ? text : std::string();
    const auto zero_bytes_read = [&section, &text, &whole_text, cut_off](std::size_t last) {
        const std::string &bytes = cut_off ? whole_text : text;
        for (std::size_t start = 0; start < bytes.size();) {
            const std::size_t feed = bytes.find('\n', start);
            const std::size_t end =
                std::min({feed == std::string::npos ? bytes.size() : feed + 1, start + LONGEST_LINE, bytes.size()});
            if (std::find(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.begin() + static_cast<std::ptrdiff_t>(end),
                          '\0') != bytes.begin() + static_cast<std::ptrdiff_t>(end)) {
                std::error_code error;
                const std::filesystem::path real = std::filesystem::canonical(section.path, error);
                section.warnings.push_back((error ? section.path : real.string()) +
                                           " holds zero bytes: not a text file (binary, or UTF-16?)");
                return;
            }
            if ((last != std::string::npos && end > last) || end > LARGEST_FILE) return;
            start = end;
        }
    };
    if (cut_off) {
        section.warnings.push_back("Laser parameter file longer than " + std::to_string(LARGEST_FILE) +
                                   " bytes, read no further: " + section.path);
        // The file is taken in pieces up to a line feed, of at most the
        // longest line each; the piece that goes beyond the limit is not
        // taken, nor the line it would have ended.
        std::size_t taken = 0;
        for (;;) {
            const std::size_t feed = text.find('\n', taken);
            const std::size_t piece_end = std::min(feed == std::string::npos ? text.size() : feed + 1, taken + LONGEST_LINE);
            if (piece_end > LARGEST_FILE) break;
            taken = piece_end;
        }
        text.resize(taken);
        const std::size_t last_end = text.find_last_of("\r\n");
        text.resize(last_end == std::string::npos ? 0 : last_end + 1);
    }
    const auto warn = [&](const std::string &what, long long line) {
        section.warnings.push_back(what + ": " + section.path + ", line " + std::to_string(line));
    };

    std::size_t at = text.compare(0, 3, BYTE_ORDER_MARK) == 0 ? 3 : 0;
    long long number = 0;
    long long header_line = 0;
    bool in_section = false;
    bool ended = false;  // the next header came: the section is whole
    std::size_t size = 0;
    std::size_t looked_at = 0;  // the last byte of the line read, or the one after a lone CR that was looked at
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        // LF, CR LF and a lone CR each end one line.
        looked_at = end < text.size() && text[end] == '\r' ? end + 1 : end;
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++number;
        if (line.empty() || line[0] == ';') continue;
        const bool header = line[0] == '@';
        if (header && in_section) {
            ended = true;
            break;
        }
        if (!header && !in_section) continue;  // data of a section not taken
        if (line.size() > LONGEST_LINE) {
            warn("Line of the laser parameter file longer than " + std::to_string(LONGEST_LINE) + " characters, skipped",
                 number);
            continue;
        }
        if (line.find('\0') != std::string::npos) {
            warn("Line of the laser parameter file holds a zero byte, skipped", number);
            continue;
        }
        if (header) {
            in_section = fits(line, material, thickness);
            header_line = number;
            if (in_section) {
                section.header = line;
                section.header_fits = true;
            }
            continue;
        }
        if (const std::string fault = data_line_fault(line); !fault.empty()) {
            warn(fault, number);
            continue;
        }
        size += line.size() + 1;
        if (size > LARGEST_SECTION) {
            warn("Section of the laser parameter file longer than " + std::to_string(LARGEST_SECTION) +
                     " bytes, not written",
                 header_line);
            section.lines.clear();
            zero_bytes_read(looked_at);
            return section;
        }
        section.lines.push_back(line);
    }
    zero_bytes_read(ended ? looked_at : std::string::npos);
    if (!in_section) {
        section.lines.clear();
        return section;
    }
    if (cut_off && !ended) {
        warn("Section of the laser parameter file does not end within its first " + std::to_string(LARGEST_FILE) +
                 " bytes, not written",
             header_line);
        section.lines.clear();
        return section;
    }
    section.found = true;
    return section;
}

}  // namespace verify
