#include "platform/qt/list_format.h"

#include <cctype>

namespace qtp {

std::vector<ListColumn> ParseListFormat(std::string_view f) {
    std::vector<ListColumn> out;
    std::size_t i = 0;
    auto digit = [&](std::size_t at) { return at < f.size() && std::isdigit(static_cast<unsigned char>(f[at])); };
    auto number = [&] {
        int n = 0;
        while (digit(i) && n < 100000) n = n * 10 + (f[i++] - '0');
        return n;
    };
    while (i < f.size()) {
        if (!digit(i)) break;
        ListColumn c;
        c.width = number();
        bool done = false;
        while (i < f.size() && !done) {
            const char ch = f[i];
            if (ch == 'L' || ch == 'R' || ch == 'C' || ch == 'D') {
                c.align = ch;
                ++i;
                if (i < f.size() && f[i] == '(') {
                    ++i;
                    c.indent = number();
                    while (i < f.size() && f[i] != ')') ++i;
                    if (i < f.size()) ++i;
                }
            } else if (ch == '~') {
                const std::size_t end = f.find('~', i + 1);
                if (end == std::string_view::npos) return out;  // unterminated header: not a format
                c.header = std::string(f.substr(i + 1, end - i - 1));
                i = end + 1;
            } else if (ch == '@') {
                const std::size_t end = f.find('@', i + 1);
                if (end == std::string_view::npos) return out;
                c.picture = std::string(f.substr(i, end - i));
                i = end + 1;
                done = true;  // a picture ends its column
            } else if (digit(i)) {
                done = true;  // the next column, when this one has no picture
            } else {
                if (ch == 'M') c.resizable = true;
                ++i;
            }
        }
        out.push_back(std::move(c));
    }
    return out;
}

}  // namespace qtp
