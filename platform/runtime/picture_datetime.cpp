// Date and time pictures: display in the program's locale, and reading typed dates and times.
#include <array>
#include <cstdio>
#include <vector>

#include "platform/runtime/clock.h"
#include "platform/runtime/picture.h"
#include "platform/runtime/picture_internal.h"

namespace rt {

using namespace picture_detail;

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"January", "February", "March",     "April",
                                                      "May",     "June",     "July",      "August",
                                                      "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kWeekdays = {"sunday",   "monday", "tuesday", "wednesday",
                                                       "thursday", "friday", "saturday"};

// A word of three or more letters that begins a name ("dec", "sept", "december"); 0 when none.
template <std::size_t N>
int nameIndex(const std::array<std::string_view, N>& names, std::string_view word) {
    if (word.size() < 3) return 0;
    for (std::size_t i = 0; i < N; ++i) {
        const std::string_view n = names[i];
        if (word.size() > n.size()) continue;
        bool same = true;
        for (std::size_t k = 0; k < word.size() && same; ++k) same = lower(n[k]) == word[k];
        if (same) return static_cast<int>(i) + 1;
    }
    return 0;
}

struct Token {
    bool word;
    std::string text;  // digits, or the word in lower case
};

std::string quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

}  // namespace

std::string Picture::FormatDate(StdDate d) const {
    if (kind_ != Kind::Date) return FormatScaled(d, 0);
    if (d <= 0) return std::string();
    const Ymd v = ymdFromDate(d);
    char buf[48];
    if (dateForm_ == DateForm::Short)
        std::snprintf(buf, sizeof buf, "%02d%c%02d%c%04d", v.month, dateSep_, v.day, dateSep_, v.year);
    else
        std::snprintf(buf, sizeof buf, "%s %d, %d", kMonths[static_cast<std::size_t>(v.month - 1)].data(), v.day,
                      v.year);
    return buf;
}

std::string Picture::FormatTime(StdTime t) const {
    if (kind_ != Kind::Time) return FormatScaled(t, 0);
    if (t <= 0 || t > 24 * 60 * 60 * 100) return std::string();  // empty, or no time of day
    const Hms v = hmsFromTime(t);
    const int h = v.hours % 12 == 0 ? 12 : v.hours % 12;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d:%02d %s", h, v.minutes, v.hours < 12 ? "AM" : "PM");
    return buf;
}

std::optional<StdDate> Picture::ParseDate(std::string_view typed, std::string* error, int currentYear) const {
    const std::string_view t = trim(typed);
    if (t.empty()) return 0;
    const std::string notDate = quoted(t) + " is not a date. Type it as MM/DD/YYYY, for example 12/10/2026.";
    auto fail = [&](std::string msg) -> std::optional<StdDate> {
        setError(error, std::move(msg));
        return std::nullopt;
    };

    std::vector<Token> toks;
    for (std::size_t i = 0; i < t.size();) {
        const char c = t[i];
        if (isDigit(c) || isAlpha(c)) {
            Token tok{isAlpha(c), {}};
            while (i < t.size() && (tok.word ? isAlpha(t[i]) : isDigit(t[i]))) tok.text += lower(t[i++]);
            toks.push_back(std::move(tok));
        } else if (c == '/' || c == '-' || c == '.' || c == ',' || c == ' ') {
            ++i;
        } else {
            return fail(notDate);
        }
    }

    if (currentYear == 0) {
        const StdDate now = today();
        currentYear = now > 0 ? ymdFromDate(now).year : 2000;
    }
    int year = currentYear, month = 0, day = 0;
    std::string yearError;
    auto readYear = [&](const std::string& digits) {
        const int v = digits.size() <= 4 ? std::stoi(digits) : 0;
        if (digits.size() == 4) {
            year = v;
        } else if (digits.size() == 2) {
            // The hundred years from 90 before this year to 9 after it.
            const int low = currentYear - 90;
            year = low - low % 100 + v;
            if (year < low) year += 100;
        } else {
            yearError = quoted(t) + " is not a date: type the year with 2 or 4 digits.";
            return false;
        }
        return true;
    };
    auto small = [](const Token& k) { return !k.word && k.text.size() <= 2; };

    // An optional weekday in front: "Thursday, December 10, 2026".
    if (!toks.empty() && toks[0].word && nameIndex(kWeekdays, toks[0].text)) toks.erase(toks.begin());
    std::vector<Token> numbers;
    std::size_t words = 0, wordAt = 0;
    for (std::size_t i = 0; i < toks.size(); ++i) {
        if (toks[i].word) {
            ++words;
            wordAt = i;
        } else {
            numbers.push_back(toks[i]);
        }
    }
    if (words == 1) {
        // "December 10, 2026", "Dec 10 2026", "10 December 2026", "Dec 10" (this year).
        month = nameIndex(kMonths, toks[wordAt].text);
        if (month == 0 || wordAt > 1 || toks.size() < 2 || toks.size() > 3) return fail(notDate);
        const Token& dayTok = toks[wordAt == 0 ? 1 : 0];
        if (!small(dayTok)) return fail(notDate);
        day = std::stoi(dayTok.text);
        if (toks.size() == 3 && !readYear(toks[2].text)) return fail(yearError);
    } else if (words == 0) {
        if (numbers.size() == 1 && (numbers[0].text.size() == 6 || numbers[0].text.size() == 8)) {
            const std::string& s = numbers[0].text;  // MMDDYY or MMDDYYYY
            month = std::stoi(s.substr(0, 2));
            day = std::stoi(s.substr(2, 2));
            if (!readYear(s.substr(4))) return fail(yearError);
        } else if (numbers.size() == 2 && small(numbers[0]) && small(numbers[1])) {
            month = std::stoi(numbers[0].text);  // M/D: this year
            day = std::stoi(numbers[1].text);
        } else if (numbers.size() == 3 && numbers[0].text.size() == 4 && small(numbers[1]) && small(numbers[2])) {
            year = std::stoi(numbers[0].text);  // YYYY-MM-DD
            month = std::stoi(numbers[1].text);
            day = std::stoi(numbers[2].text);
        } else if (numbers.size() == 3 && small(numbers[0]) && small(numbers[1]) && numbers[2].text.size() <= 4) {
            month = std::stoi(numbers[0].text);
            day = std::stoi(numbers[1].text);
            if (!readYear(numbers[2].text)) return fail(yearError);
        } else {
            return fail(notDate);
        }
    } else {
        return fail(notDate);
    }

    if (month < 1 || month > 12) return fail(quoted(t) + " is not a date: there is no month " + std::to_string(month) + ".");
    if (year < 1801 || year > 9999) return fail(quoted(t) + " is outside the years a date can have (1801 to 9999).");
    if (day < 1) return fail(quoted(t) + " is not a date: there is no day 0.");
    const int dim = daysInMonth(year, month);
    if (day > dim)
        return fail(quoted(t) + " is not a date: " + std::string(kMonths[static_cast<std::size_t>(month - 1)]) + " " +
                    std::to_string(year) + " has " + std::to_string(dim) + " days.");
    return dateFromYmd(year, month, day);
}

std::optional<StdTime> Picture::ParseTime(std::string_view typed, std::string* error) const {
    const std::string_view t = trim(typed);
    if (t.empty()) return 0;
    auto fail = [&](std::string why) -> std::optional<StdTime> {
        setError(error, quoted(t) + " is not a time" + why);
        return std::nullopt;
    };
    const std::string form = ". Type it as h:mm AM or PM, for example 2:05 PM, or as 14:05.";

    std::size_t k = 0;
    while (k < t.size() && !isAlpha(t[k])) ++k;
    std::string suffix;
    for (std::size_t i = k; i < t.size(); ++i)
        if (t[i] != '.' && t[i] != ' ') suffix += lower(t[i]);
    int half = 0;  // 1 AM, 2 PM
    if (suffix == "am" || suffix == "a")
        half = 1;
    else if (suffix == "pm" || suffix == "p")
        half = 2;
    else if (!suffix.empty())
        return fail(form);

    std::vector<std::string> groups(1);
    for (const char c : trim(t.substr(0, k))) {
        if (isDigit(c))
            groups.back() += c;
        else if ((c == ':' || c == '.') && !groups.back().empty())
            groups.emplace_back();
        else
            return fail(form);
    }
    if (groups.back().empty() || groups.size() > 3) return fail(form);
    int h = 0, m = 0, s = 0;
    if (groups.size() == 1) {
        const std::string& g = groups[0];
        if (g.size() <= 2) {
            h = std::stoi(g);
        } else if (g.size() <= 4) {  // 205 or 1405
            h = std::stoi(g.substr(0, g.size() - 2));
            m = std::stoi(g.substr(g.size() - 2));
        } else {
            return fail(form);
        }
    } else {
        if (groups[0].size() > 2 || groups[1].size() != 2 || (groups.size() == 3 && groups[2].size() != 2))
            return fail(form);
        h = std::stoi(groups[0]);
        m = std::stoi(groups[1]);
        if (groups.size() == 3) s = std::stoi(groups[2]);
    }
    if (half != 0) {
        if (h < 1 || h > 12) return fail(": with AM or PM the hour is 1 to 12.");
        h = h % 12 + (half == 2 ? 12 : 0);
    } else if (h > 23) {
        return fail(": the hour is 0 to 23.");
    }
    if (m > 59) return fail(": the minutes are 0 to 59.");
    if (s > 59) return fail(": the seconds are 0 to 59.");
    return timeFromHms(h, m, s);
}

}  // namespace rt
