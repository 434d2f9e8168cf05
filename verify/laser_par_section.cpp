// laser_par_section.cpp - the machine's LASER.PAR, read for the sheet.
#include "verify/laser_par_section.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace verify {
namespace {

constexpr std::size_t MAX_DATA_LINE = 510;
constexpr double SAME_THICKNESS = 0.000001;
constexpr const char *BYTE_ORDER_MARK = "\xEF\xBB\xBF";

#ifdef _WIN32
constexpr const char *SEPARATOR = "\\";
#else
constexpr const char *SEPARATOR = "/";
#endif

bool fits_material(const std::string &name, const std::string &material) {
    if (name.size() > material.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(material[i]))) {
            return false;
        }
    }
    return true;
}

bool fits(const std::string &header, const std::string &material, double thickness) {
    const std::size_t comma = header.rfind(',');
    if (comma == std::string::npos) return false;
    const std::string name = header.substr(1, comma - 1);
    const double header_thickness = std::strtod(header.c_str() + comma + 1, nullptr);
    return fits_material(name, material) && std::fabs(thickness - header_thickness) < SAME_THICKNESS;
}

// A data line that the control takes as the one block it is.
bool one_block(const std::string &line) {
    if (line.size() > MAX_DATA_LINE || line[0] == '%') return false;
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) return false;
    }
    const std::size_t open = line.find('(');
    return open == std::string::npos || line.find(')', open) != std::string::npos;
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
    std::string text;
    try {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception &) {
        return section;
    }
    if (in.bad()) return section;
    section.readable = true;
    std::size_t at = text.compare(0, 3, BYTE_ORDER_MARK) == 0 ? 3 : 0;
    bool in_section = false;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        // LF, CR LF and a lone CR each end one line.
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '@') {
            if (in_section) break;
            if (fits(line, material, thickness)) {
                in_section = true;
                section.found = true;
                section.header = line;
            }
            continue;
        }
        if (in_section && one_block(line)) section.lines.push_back(line);
    }
    return section;
}

}  // namespace verify
