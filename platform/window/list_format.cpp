#include "platform/window/list_format.h"

#include <cctype>

namespace wnd {

std::vector<ListColumn> ParseListFormat(std::string_view f) {
    std::vector<ListColumn> out;
    std::size_t i = 0;
    auto digit = [&](std::size_t at) { return at < f.size() && std::isdigit(static_cast<unsigned char>(f[at])); };
    auto number = [&] {
        int n = 0;
        while (digit(i) && n < 100000) n = n * 10 + (f[i++] - '0');
        return n;
    };
    // "(n)" after an alignment; -1 when there is none.
    auto indent = [&] {
        if (i >= f.size() || f[i] != '(') return -1;
        ++i;
        const int n = number();
        while (i < f.size() && f[i] != ')') ++i;
        if (i < f.size()) ++i;
        return n;
    };
    while (i < f.size()) {
        if (!digit(i)) break;
        ListColumn c;
        c.width = number();
        bool done = false, sawAlign = false, sawHeader = false;
        while (i < f.size() && !done) {
            const char ch = f[i];
            if ((ch == 'L' || ch == 'R' || ch == 'C' || ch == 'D') && (!sawAlign || sawHeader)) {
                ++i;
                // An alignment after the header is the header's own.
                if (sawHeader) {
                    c.headerAlign = ch;
                    c.headerIndent = indent();
                } else {
                    c.align = ch;
                    c.indent = indent();
                    sawAlign = true;
                }
            } else if (ch == '~') {
                const std::size_t end = f.find('~', i + 1);
                if (end == std::string_view::npos) return out;  // unterminated header: not a format
                c.header = std::string(f.substr(i + 1, end - i - 1));
                i = end + 1;
                sawHeader = true;
            } else if (ch == '@') {
                const std::size_t end = f.find('@', i + 1);
                if (end == std::string_view::npos) return out;
                c.picture = std::string(f.substr(i, end - i));
                i = end + 1;
                done = true;  // a picture ends its column, with the field it shows after it
                if (i < f.size() && f[i] == '#') {
                    ++i;
                    c.field = number();
                    if (i < f.size() && f[i] == '#') ++i;
                }
            } else if (ch == '#') {
                ++i;
                c.field = number();
                if (i < f.size() && f[i] == '#') ++i;
                done = true;
            } else if (digit(i)) {
                done = true;  // the next column, when this one has no picture
            } else if (ch == '(') {
                // An indent belongs after an alignment; a stray group is skipped, as kept it would
                // read as the indent of the alignment the formatter writes before the flags.
                indent();
            } else {
                if (ch == 'M') c.resizable = true;
                c.flags += ch;
                ++i;
            }
        }
        out.push_back(std::move(c));
    }
    return out;
}

std::string FormatListFormat(const std::vector<ListColumn>& columns) {
    std::string out;
    for (const ListColumn& c : columns) {
        out += std::to_string(c.width);
        out += c.align;
        if (c.indent >= 0) out += "(" + std::to_string(c.indent) + ")";
        out += c.flags;
        if (c.resizable && c.flags.find('M') == std::string::npos) out += 'M';
        if (!c.header.empty() || c.headerAlign) out += "~" + c.header + "~";
        if (c.headerAlign) {
            out += c.headerAlign;
            if (c.headerIndent >= 0) out += "(" + std::to_string(c.headerIndent) + ")";
        }
        if (!c.picture.empty()) out += c.picture + "@";
        if (c.field > 0) out += "#" + std::to_string(c.field) + "#";
    }
    return out;
}

std::vector<std::size_t> ShownFields(const std::vector<ListColumn>& columns) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < columns.size(); ++i)
        out.push_back(columns[i].field > 0 ? static_cast<std::size_t>(columns[i].field - 1) : i);
    return out;
}

}  // namespace wnd
