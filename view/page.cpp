// page.cpp - the page written.
#include "view/page.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace view_files {
extern const char page_html[];
extern const char page_css[];
extern const char data_js[];
extern const char page_js[];
}  // namespace view_files

namespace view {
namespace {

constexpr std::size_t PIECE = 1 << 16;

// A number of the page's data: 0.001 where lengths are millimetres.
std::string number(double v) {
    if (!std::isfinite(v)) return "0";
    char text[48];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

void put(std::FILE *out, std::string_view text) {
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), out);
}

// The template around its marks: what comes before "<!--name-->" is written
// and the rest answered.
std::string_view up_to(std::FILE *out, std::string_view html, std::string_view mark) {
    const std::size_t at = html.find(mark);
    if (at == std::string_view::npos) throw std::logic_error("the page's template has no mark " + std::string(mark));
    put(out, html.substr(0, at));
    return html.substr(at + mark.size());
}

void write_base64(std::FILE *out, const std::string &bytes) {
    static const char DIGITS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve(PIECE + 4);
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; i += 3) {
        const unsigned v = (b[i] << 16) | ((i + 1 < n ? b[i + 1] : 0) << 8) | (i + 2 < n ? b[i + 2] : 0);
        text += DIGITS[(v >> 18) & 63];
        text += DIGITS[(v >> 12) & 63];
        text += i + 1 < n ? DIGITS[(v >> 6) & 63] : '=';
        text += i + 2 < n ? DIGITS[v & 63] : '=';
        if (text.size() >= PIECE) {
            put(out, text);
            text.clear();
        }
    }
    put(out, text);
}

// The length of the UTF-8 sequence at s[i], or 0 when it is none.
std::size_t utf8_length(const std::string &s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    unsigned min = 0;
    if (c >= 0xc2 && c <= 0xdf) {
        n = 2;
        min = 0x80;
    } else if (c >= 0xe0 && c <= 0xef) {
        n = 3;
        min = 0x800;
    } else if (c >= 0xf0 && c <= 0xf4) {
        n = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    unsigned v = c & (0xff >> (n + 1));
    for (std::size_t k = 1; k < n; ++k) {
        const auto d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xc0) != 0x80) return 0;
        v = (v << 6) | (d & 0x3f);
    }
    if (v < min || v > 0x10ffff || (v >= 0xd800 && v <= 0xdfff)) return 0;
    return n;
}

// Text escaped for a JavaScript string: in quotes ("...") when template is
// false, else between backquotes, where line ends stand as they are (a
// program's text costs its own size).
void append_escaped(std::string &out, const std::string &text, bool template_literal = false) {
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            const std::size_t n = utf8_length(text, i);
            if (n == 0) {
                out += "\\ufffd";
                ++i;
            } else {
                out.append(text, i, n);
                i += n;
            }
            continue;
        }
        if (template_literal && (c == '\n' || c == '\r' || c == '"')) {
            out += c;
            ++i;
            continue;
        }
        switch (c) {
        case '"': out += "\\\""; break;
        case '`': out += "\\`"; break;
        case '$': out += "\\$"; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '<': out += "\\u003c"; break;
        default:
            if (u < 0x20 || u == 0x7f) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\u%04x", u);
                out += hex;
            } else {
                out += c;
            }
        }
        ++i;
    }
}

}  // namespace

void append_js_string(std::string &out, const std::string &text) {
    out += '"';
    append_escaped(out, text);
    out += '"';
}

Page::Page(PageScene scene, const stats::TimeModel &time) : scene_(std::move(scene)), time_(time) {}

void Page::add(const nc::Event &e) {
    nc::Event on_sheet = e;
    frame_.place(on_sheet);
    stream_.add(on_sheet, time_.seconds(e), frame_.shift_x(), frame_.shift_y(), frame_.side());
}

void Page::name_lines(long long first_line, const std::string &name) { names_.add(first_line, name); }

void Page::add_finding(const Finding &f) { findings_.push_back(f); }

void Page::write(std::FILE *out, std::FILE *program) const {
    std::string_view html(view_files::page_html);
    // 1. The head and the style.
    html = up_to(out, html, "<!--STYLE-->");
    put(out, "<style>\n");
    put(out, view_files::page_css);
    put(out, "</style>");
    html = up_to(out, html, "<!--DATA-->");

    // 2. The data: what the page draws on, the findings, the events, the map.
    const plot::Scene &s = scene_.scene;
    std::string meta = "<script>window.PELK={meta:{title:";
    append_js_string(meta, s.title);
    meta += ",program:";
    append_js_string(meta, scene_.program_name);
    meta += ",inch:" + std::string(scene_.inch ? "true" : "false");
    meta += ",sheet:[" + number(s.sheet_x) + "," + number(s.sheet_y) + "]";
    meta += ",load:[" + number(s.load_x) + "," + number(s.load_y) + "]";
    meta += ",clampZone:[" + number(scene_.clamp_zone_width) + "," + number(scene_.clamp_zone_depth) + "]";
    meta += ",clamps:[";
    for (std::size_t i = 0; i < s.clamps.size(); ++i) meta += (i == 0 ? "" : ",") + number(s.clamps[i]);
    meta += "],turns:[";
    for (std::size_t i = 0; i < s.turns.size(); ++i) {
        const bool quarter = s.turns[i] == plot::SheetTurn::clockwise || s.turns[i] == plot::SheetTurn::counterclockwise;
        meta += std::string(i == 0 ? "" : ",") + "{text:\"" + plot::turn_text(s.turns[i]) + "\",quarter:" +
                (quarter ? "true" : "false") + "}";
    }
    meta += "],tools:{";
    static const char *const SHAPES[] = {"marker", "round", "square", "rectangle", "obround"};
    bool first = true;
    for (const auto &[station, f] : s.tools) {
        meta += (first ? "" : ",") + std::to_string(station) + ":[\"" + SHAPES[static_cast<int>(f.shape)] + "\"," +
                number(f.size_x) + "," + number(f.size_y) + "]";
        first = false;
    }
    meta += "},events:" + std::to_string(stream_.events()) + ",mapRuns:" + std::to_string(names_.runs()) + "},findings:[";
    for (std::size_t i = 0; i < findings_.size(); ++i) {
        const Finding &f = findings_[i];
        meta += (i == 0 ? "{line:" : ",{line:") + std::to_string(f.line) + ",placed:" + (f.placed ? "true" : "false") +
                ",x:" + number(f.x) + ",y:" + number(f.y) + ",text:";
        append_js_string(meta, f.text);
        meta += ",kind:";
        append_js_string(meta, f.kind);
        meta += "}";
    }
    meta += "],events:\"";
    put(out, meta);
    write_base64(out, stream_.bytes());
    put(out, "\",map:\"");
    write_base64(out, names_.bytes());
    put(out, "\"};\n</script>\n<script>window.PELK.program=`");

    // 3. The program's text, as it stands in its file.
    std::rewind(program);
    std::string line, text;
    std::vector<char> piece(PIECE);
    for (;;) {
        const std::size_t got = std::fread(piece.data(), 1, piece.size(), program);
        if (got == 0) {
            if (std::ferror(program)) throw std::runtime_error(std::string("cannot read the program again: ") + std::strerror(errno));
            break;
        }
        for (std::size_t i = 0; i < got; ++i) {
            line += piece[i];
            if (piece[i] == '\n') {
                append_escaped(text, line, true);
                line.clear();
                if (text.size() >= PIECE) {
                    put(out, text);
                    text.clear();
                }
            }
        }
    }
    append_escaped(text, line, true);
    put(out, text);
    put(out, "`;\n</script>");

    // 4. The script, and the rest of the page.
    html = up_to(out, html, "<!--SCRIPT-->");
    put(out, "<script>\n");
    put(out, view_files::data_js);
    put(out, view_files::page_js);
    put(out, "</script>");
    put(out, html);
}

}  // namespace view
