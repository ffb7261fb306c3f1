// Picture parsing, text pictures, patterns and key-in templates.
#include "platform/runtime/picture.h"

#include "platform/runtime/picture_internal.h"

namespace rt {

using namespace picture_detail;

namespace {

bool sameLetter(char a, char b) { return lower(a) == lower(b); }

// The digits of a small picture number ("17" of "@d17"); -1 when there are none.
int readCount(std::string_view s, std::size_t* i) {
    if (*i >= s.size() || !isDigit(s[*i])) return -1;
    int v = 0;
    while (*i < s.size() && isDigit(s[*i]) && v < 100000) v = v * 10 + (s[(*i)++] - '0');
    return v;
}

// Letters of Windows-1252 beyond ASCII count as letters for a key-in '@'.
bool isLetter(char c) { return isAlpha(c) || static_cast<unsigned char>(c) >= 0xC0; }

}  // namespace

std::optional<Picture> Picture::Parse(std::string_view picture, std::string* error) {
    const std::string_view whole = trim(picture);
    std::string_view body = whole;
    if (!body.empty() && body.front() == '@') body.remove_prefix(1);
    std::string why;
    std::optional<Picture> p;
    const char k = body.empty() ? '\0' : lower(body.front());
    if (k == 'n') {
        p = ParseNumberPicture(body.substr(1), &why);
    } else if (k == 'p' || k == 'k') {
        p = ParseSlots(k == 'p' ? Kind::Pattern : Kind::KeyIn, body, &why);
    } else if (k == 's' || k == 'd' || k == 't') {
        std::size_t i = 1;
        const int n = readCount(body, &i);
        Picture q;
        if (k == 's') {
            q.kind_ = Kind::Text;
            q.width_ = n;
            if (n < 1 || n > 65535) why = "the width must be 1 to 65535";
        } else if (k == 'd') {
            q.kind_ = Kind::Date;
            if (n == 17) {
                q.dateForm_ = DateForm::Short;
                q.width_ = 10;
                if (i < body.size() && (body[i] == '-' || body[i] == '.' || body[i] == '/')) q.dateSep_ = body[i++];
            } else if (n == 4 || n == 18) {
                q.dateForm_ = DateForm::Long;
                q.width_ = 18;  // "September 30, 2026"
            } else {
                why = "the date pictures are @d4, @d17 and @d18";
            }
        } else {
            q.kind_ = Kind::Time;
            q.width_ = 8;  // "12:00 AM"
            if (n != 7) why = "the time picture is @t7";
        }
        // Dates and times are blank when zero anyway; accept the flag.
        if (k != 's' && i < body.size() && lower(body[i]) == 'b') ++i;
        if (i + 1 == body.size() && body[i] == '@') ++i;  // closing '@' of a list-format column
        if (why.empty() && i != body.size()) why = std::string("unexpected '") + body[i] + "'";
        if (why.empty()) p = q;
    } else {
        why = "it must begin with @s, @n, @d, @t, @P or @K";
    }
    if (!p) {
        setError(error, "The picture \"" + std::string(whole) + "\" is not valid: " + why + ".");
        return std::nullopt;
    }
    p->source_ = std::string(whole);
    return p;
}

std::optional<Picture> Picture::ParseSlots(Kind kind, std::string_view body, std::string* error) {
    if (body.size() < 2 || !sameLetter(body.front(), body.back())) {
        setError(error, std::string("it must end with '") + body.front() + "'");
        return std::nullopt;
    }
    Picture p;
    p.kind_ = kind;
    const std::string_view content = body.substr(1, body.size() - 2);
    int inputs = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\\') {
            if (++i == content.size()) {
                setError(error, "'\\' at the end");
                return std::nullopt;
            }
            p.slots_.push_back({'L', content[i]});
            continue;
        }
        const bool input = kind == Kind::Pattern ? (c == '#' || c == '<') : (c == '#' || c == '@' || c == '?');
        p.slots_.push_back({input ? c : 'L', c});
        if (input) ++inputs;
    }
    if (inputs == 0) {
        setError(error, kind == Kind::Pattern ? "a pattern needs at least one '#' or '<'"
                                              : "a key-in template needs at least one '#', '@' or '?'");
        return std::nullopt;
    }
    p.width_ = static_cast<int>(p.slots_.size());
    return p;
}

int Picture::DigitSlots() const {
    int n = 0;
    for (const Slot& s : slots_) n += s.type != 'L';
    return n;
}

bool Picture::HasSuppressedSlots() const {
    for (const Slot& s : slots_)
        if (s.type == '<') return true;
    return false;
}

std::string Picture::KeyInForm() const {
    std::string f;
    for (const Slot& s : slots_) f += s.type == 'L' ? s.ch : s.type == '<' ? '#' : s.type;
    return f;
}

std::string Picture::PatternFromDigits(std::string_view digits) const {
    const auto n = static_cast<std::size_t>(DigitSlots());
    std::string out;
    if (digits.size() > n) {  // does not fit: show no wrong number
        for (const Slot& s : slots_) out += s.type == 'L' ? s.ch : '#';
        return out;
    }
    const std::string all = std::string(n - digits.size(), '0') + std::string(digits);
    std::size_t next = 0;
    bool shown = false, dropping = false;
    for (const Slot& s : slots_) {
        if (s.type == 'L') {
            // A literal between dropped leading digits goes with them ("<,<<#" shows 5 as "5").
            if (!(dropping && !shown)) out += s.ch;
            continue;
        }
        const char d = all[next++];
        if (!shown && s.type == '<' && d == '0') {
            dropping = true;
            continue;
        }
        shown = true;
        out += d;
    }
    return out;
}

std::string Picture::FormatText(std::string_view s) const {
    auto cut = [&](std::string_view v) {
        return std::string(v.substr(0, std::min(v.size(), static_cast<std::size_t>(width_))));
    };
    switch (kind_) {
        case Kind::Text:
        case Kind::KeyIn:
            return cut(s);
        case Kind::Number: {
            if (trim(s).empty()) return NumberText(0).value_or(std::string());
            std::string ignored;
            const auto v = ParseOwnScaled(s, &ignored);
            return v ? *NumberText(*v) : cut(s);
        }
        case Kind::Date:
        case Kind::Time: {
            std::string ignored;
            const auto v = kind_ == Kind::Date ? ParseDate(s, &ignored) : ParseTime(s, &ignored);
            if (!v) return cut(s);
            return kind_ == Kind::Date ? FormatDate(*v) : FormatTime(*v);
        }
        case Kind::Pattern: {
            std::string digits;
            for (const char c : s)
                if (isDigit(c)) digits += c;
            if (digits.empty()) return std::string();
            const auto n = static_cast<std::size_t>(DigitSlots());
            // Stored text that does not match the pattern is shown as it is, with no digits made up.
            if (digits.size() == n || (HasSuppressedSlots() && digits.size() < n)) return PatternFromDigits(digits);
            return cut(s);
        }
    }
    return std::string();
}

std::optional<std::string> Picture::ParsePatternDigits(std::string_view typed, std::string* error) const {
    if (kind_ != Kind::Pattern) return ParseText(typed, error);
    const std::string_view t = trim(typed);
    std::string digits;
    const std::string form = KeyInForm();
    for (const char c : t) {
        if (isDigit(c)) {
            digits += c;
            continue;
        }
        bool literal = c == ' ' || c == '-' || c == '.' || c == '/' || c == '(' || c == ')';
        for (const Slot& s : slots_) literal = literal || (s.type == 'L' && sameLetter(s.ch, c));
        if (!literal) {
            setError(error, "\"" + std::string(t) + "\" does not fit " + form + ": only digits can be typed here.");
            return std::nullopt;
        }
    }
    const auto n = static_cast<std::size_t>(DigitSlots());
    if (digits.empty()) return digits;
    if (digits.size() > n || (!HasSuppressedSlots() && digits.size() < n)) {
        setError(error, "\"" + std::string(t) + "\" has " + std::to_string(digits.size()) + " digit" +
                            (digits.size() == 1 ? "" : "s") + "; this field takes " +
                            (HasSuppressedSlots() ? "at most " : "") + std::to_string(n) + ", as in " + form + ".");
        return std::nullopt;
    }
    return digits;
}

std::optional<std::string> Picture::ParseText(std::string_view typed, std::string* error) const {
    switch (kind_) {
        case Kind::Text: {
            const auto w = static_cast<std::size_t>(width_);
            if (typed.size() <= w) return std::string(typed);
            if (typed.substr(w).find_first_not_of(' ') == std::string_view::npos) return std::string(typed.substr(0, w));
            setError(error, "The text is too long: at most " + std::to_string(w) + " characters fit here (this has " +
                                std::to_string(typed.size()) + ").");
            return std::nullopt;
        }
        case Kind::Number: {
            const auto v = ParseOwnScaled(typed, error);
            if (!v) return std::nullopt;
            return NumberText(*v);
        }
        case Kind::Date: {
            const auto v = ParseDate(typed, error);
            if (!v) return std::nullopt;
            return FormatDate(*v);
        }
        case Kind::Time: {
            const auto v = ParseTime(typed, error);
            if (!v) return std::nullopt;
            return FormatTime(*v);
        }
        case Kind::Pattern: {
            const auto digits = ParsePatternDigits(typed, error);
            if (!digits) return std::nullopt;
            return digits->empty() ? std::string() : PatternFromDigits(*digits);
        }
        case Kind::KeyIn:
            break;
    }
    // Key-in: walk the template; literals may be typed or left out, blanks before a slot are skipped.
    const std::string_view t = trim(typed);
    if (t.empty()) return std::string();
    const std::string form = KeyInForm();
    std::string legend;
    auto explain = [&](char c, const char* what) {
        if (form.find(c) == std::string::npos) return;
        legend += legend.empty() ? "" : ", ";
        legend += what;
    };
    explain('#', "# a digit");
    explain('@', "@ a letter");
    explain('?', "? any character");
    const std::string misfit = "\"" + std::string(t) + "\" does not fit the form " + form + " (" + legend + ").";
    std::string out;
    std::size_t i = 0;
    for (const Slot& s : slots_) {
        if (s.type == 'L') {
            std::size_t j = i;
            if (s.ch != ' ')
                while (j < t.size() && t[j] == ' ') ++j;
            if (j < t.size() && t[j] == s.ch) i = j + 1;
            out += s.ch;
            continue;
        }
        if (s.type != '?')
            while (i < t.size() && t[i] == ' ') ++i;
        const bool ok = i < t.size() && (s.type == '?' || (s.type == '#' ? isDigit(t[i]) : isLetter(t[i])));
        if (!ok) {
            setError(error, misfit);
            return std::nullopt;
        }
        out += t[i++];
    }
    while (i < t.size() && t[i] == ' ') ++i;
    if (i != t.size()) {
        setError(error, misfit);
        return std::nullopt;
    }
    return out;
}

}  // namespace rt
