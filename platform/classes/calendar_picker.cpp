#include "platform/classes/calendar_picker.h"

#include <array>

#include "platform/runtime/clock.h"
#include "platform/window/layout_builder.h"
#include "platform/window/window.h"

namespace cls {

namespace {

constexpr std::array<const char*, 12> kMonths = {"January", "February", "March",     "April",   "May",      "June",
                                                 "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr int kDays = 42;  // six weeks cover every month

// Control numbers of the layout below.
constexpr int kPrevYear = 1, kPrevMonth = 2, kMonth = 3, kNextMonth = 4, kNextYear = 5, kFirstWeekday = 6,
              kFirstDay = 13, kOk = kFirstDay + kDays, kToday = kOk + 1, kCancel = kOk + 2;

wnd::WindowLayout calendarLayout(std::string_view caption) {
    wnd::WindowLayout l = wnd::MakePlainWindow("CalendarPicker", "P1$CALENDAR", std::string(caption), {0, 0, 170, 150});
    using K = wnd::ControlKind;
    l.controls.push_back(wnd::MakeControl(K::Button, "?PREVYEAR", "<<", {4, 4, 18, 12}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?PREVMONTH", "<", {24, 4, 14, 12}));
    l.controls.push_back(wnd::MakeControl(K::String, "?MONTH", "", {42, 6, 86, 10}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?NEXTMONTH", ">", {132, 4, 14, 12}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?NEXTYEAR", ">>", {148, 4, 18, 12}));
    for (int c = 0; c < 7; ++c)
        l.controls.push_back(wnd::MakeControl(K::String, "?WEEKDAY" + std::to_string(c + 1), "", {4 + c * 23, 20, 22, 10}));
    for (int d = 0; d < kDays; ++d)
        l.controls.push_back(
            wnd::MakeControl(K::Button, "?DAY" + std::to_string(d + 1), "", {4 + (d % 7) * 23, 32 + (d / 7) * 15, 22, 14}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?OK", "OK", {4, 126, 50, 14}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?TODAY", "&Today", {60, 126, 50, 14}));
    l.controls.push_back(wnd::MakeControl(K::Button, "?CANCEL", "Cancel", {116, 126, 50, 14}));
    wnd::NumberControls(l);
    return l;
}

struct Month {
    int year, month;
    void step(int months) {
        int m = year * 12 + (month - 1) + months;
        if (m < 1801 * 12) m = 1801 * 12;  // the first day a standard date holds
        year = m / 12;
        month = m % 12 + 1;
    }
};

}  // namespace

int CalendarPicker::Pick(std::string_view title, rt::StdDate start) {
    caption = std::string(title);
    RESPONSE = 0;
    rt::StdDate marked = start > 0 ? start : rt::today();
    const rt::Ymd ymd = rt::ymdFromDate(marked);
    Month shown{ymd.year, ymd.month};
    const int firstDow = (FIRSTWEEKDAY % 7 + 7) % 7;  // 0 Sunday .. 6 Saturday

    wnd::Window w(calendarLayout(title));
    // Each column is one weekday: its header and its day buttons take that day's colour.
    // HOLIDAYCOLOR stays stored but unused: the picker holds no list of holidays to mark.
    for (int c = 0; c < 7; ++c) {
        const int dow = (firstDow + c) % 7;
        const std::uint32_t colour = dow == 6 ? SATURDAYCOLOR : dow == 0 ? SUNDAYCOLOR : DAYCOLOR;
        w.SetColour(kFirstWeekday + c, colour);
        for (int d = c; d < kDays; d += 7) w.SetColour(kFirstDay + d, colour);
    }
    rt::StdDate cellDate[kDays] = {};
    auto show = [&] {
        w.SetText(kMonth, std::string(kMonths[static_cast<std::size_t>(shown.month - 1)]) + " " + std::to_string(shown.year));
        for (int c = 0; c < 7; ++c) w.SetText(kFirstWeekday + c, kWeekdays[static_cast<std::size_t>((firstDow + c) % 7)]);
        const rt::StdDate first = *rt::dateFromYmd(shown.year, shown.month, 1);
        const int lead = (rt::dayOfWeek(first) - firstDow + 7) % 7;
        const int days = rt::daysInMonth(shown.year, shown.month);
        for (int d = 0; d < kDays; ++d) {
            const int day = d - lead + 1;
            const bool inMonth = day >= 1 && day <= days;
            cellDate[d] = inMonth ? first + day - 1 : 0;
            w.SetText(kFirstDay + d, inMonth ? std::to_string(day) : "");
            w.SetHidden(kFirstDay + d, !inMonth);
            w.SetDefault(kFirstDay + d, inMonth && cellDate[d] == marked);
        }
    };
    show();
    w.Open();
    bool chosen = false;
    while (!chosen && w.Accept()) {
        if (w.event() != wnd::Event::Accepted) continue;
        const int c = w.control();
        if (c == kPrevYear) shown.step(-12);
        else if (c == kPrevMonth) shown.step(-1);
        else if (c == kNextMonth) shown.step(1);
        else if (c == kNextYear) shown.step(12);
        else if (c == kToday) {
            marked = rt::today();
            const rt::Ymd t = rt::ymdFromDate(marked);
            shown = {t.year, t.month};
            chosen = SELECTONCLOSE;
        } else if (c >= kFirstDay && c < kFirstDay + kDays && cellDate[c - kFirstDay]) {
            marked = cellDate[c - kFirstDay];
            chosen = SELECTONCLOSE;
        } else if (c == kOk) {
            chosen = true;
        } else if (c == kCancel) {
            break;
        }
        if (!chosen) show();
    }
    w.Close();
    if (chosen) SELECTEDDATE = marked;
    RESPONSE = chosen ? 1 : 2;
    return RESPONSE;
}

}  // namespace cls
