#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <cstddef>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/runtime/clock.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/std_date.h"

namespace {

#pragma pack(push, 1)
struct Rec {
    char name[35];                   // STRING(35)
    rt::DateField due;               // DATE
    std::int16_t count;              // SHORT
    double dose;                     // REAL
    rt::PackedDecimal<5, 2> cost;    // DECIMAL(9,2)
    char active[1];                  // STRING(1)
};
#pragma pack(pop)

const rt::FieldDesc kFields[] = {
    {1, "REC:NAME", rt::FieldType::String, 35, offsetof(Rec, name)},
    {2, "REC:DUEDATE", rt::FieldType::Date, 4, offsetof(Rec, due)},
    {3, "REC:COUNT", rt::FieldType::Short, 2, offsetof(Rec, count)},
    {4, "REC:DOSE", rt::FieldType::Real, 8, offsetof(Rec, dose)},
    {5, "REC:COST", rt::FieldType::Decimal, 5, offsetof(Rec, cost), 2},
    {6, "REC:ACTIVE", rt::FieldType::String, 1, offsetof(Rec, active)},
};

// Binds under mixed-case names, as a table accessor does.
void BindRec(const Rec& r) {
    const char* names[] = {"REC:Name", "REC:DueDate", "REC:Count", "REC:Dose", "REC:Cost", "REC:Active"};
    for (std::size_t i = 0; i < std::size(kFields); ++i) rt::BindField(names[i], kFields[i], &r);
}

void Fill(Rec& r, std::string_view name, rt::StdDate due, std::string_view active) {
    rt::assign(r.name, name);
    r.due.set(due);
    r.count = 3;
    r.dose = 2.5;
    r.cost.setScaled(1234);
    rt::assign(r.active, active);
}

std::string Pad(std::string_view s, std::size_t n) {
    std::string out(s);
    out.resize(n, ' ');
    return out;
}

class ExpressionTest : public ::testing::Test {
protected:
    void SetUp() override {
        Fill(rec, "Ann Smith", kToday + 10, "Y");
        BindRec(rec);
        person = Pad("Ann Smith", 40);
        rt::BindText("personname", [this] { return person; });
    }
    void TearDown() override { rt::UnbindAll(); }

    rt::Expression Compile(std::string_view text) {
        std::string error;
        auto e = rt::Expression::Compile(text, &error);
        EXPECT_TRUE(e) << error;
        return e ? std::move(*e) : *rt::Expression::Compile("0", nullptr);
    }
    bool Test(std::string_view text) { return Compile(text).Test(); }

    static constexpr rt::StdDate kToday = 82527;  // 10 December 2026
    rt::FixedClockScope clock{kToday};
    Rec rec{};
    std::string person;
};

TEST_F(ExpressionTest, ConditionsTable) {
    struct Case {
        const char* text;
        bool expected;
    } cases[] = {
        // The stored filter forms.
        {"(REC:DueDate =>today() and REC:DueDate <= Today()+30)", true},
        {"REC:DueDate =>today() and REC:DueDate <= Today()+30", true},
        {"REC:Active='Y'", true},
        {"Rec:Name=personname", true},
        // Names in any case; text values compare with case.
        {"rec:active = 'Y'", true},
        {"REC:ACTIVE = 'y'", false},
        {"upper(REC:Active) = 'Y' AND UPPER('y') = 'Y'", true},
        // Trailing blanks do not count, leading ones do.
        {"REC:Name = 'Ann Smith'", true},
        {"REC:Name = 'Ann Smith     '", true},
        {"REC:Name = ' Ann Smith'", false},
        {"clip(REC:Name) & '|' = 'Ann Smith|'", true},
        {"REC:Name & '|' = 'Ann Smith|'", false},
        {"REC:Name < 'Bob' and REC:Name > 'Ann'", true},
        // Every comparison spelling.
        {"REC:Count = 3", true},   {"REC:Count = 4", false},
        {"REC:Count <> 4", true},  {"REC:Count <> 3", false},
        {"REC:Count ~= 4", true},  {"REC:Count ~= 3", false},
        {"REC:Count < 4", true},   {"REC:Count < 3", false},
        {"REC:Count > 2", true},   {"REC:Count > 3", false},
        {"REC:Count <= 3", true},  {"REC:Count <= 2", false},
        {"REC:Count =< 3", true},  {"REC:Count =< 2", false},
        {"REC:Count >= 3", true},  {"REC:Count >= 4", false},
        {"REC:Count => 3", true},  {"REC:Count => 4", false},
        {"REC:Count=>3", true},    {"REC:Count=<3", true},
        // Precedence: arithmetic, comparison, not, and, or.
        {"2 + 3 * 4 = 14", true},
        {"(2 + 3) * 4 = 20", true},
        {"10 - 2 - 3 = 5", true},
        {"-REC:Count + 5 = 2", true},
        {"- -3 = 3", true},
        {"not REC:Active = 'N'", true},
        {"NOT REC:Count = 3", false},
        {"not not 1", true},
        {"1 or 0 and 0", true},
        {"(1 or 0) and 0", false},
        {"REC:Count = 1 Or REC:Count = 3", true},
        // Numbers: exact decimals, reals, dates.
        {"REC:Cost = 12.34", true},
        {"REC:Cost * 2 = 24.68", true},
        {"0.1 + 0.2 = 0.3", true},
        {"REC:Dose * REC:Count = 7.5", true},
        {"10 / 4 = 2.5", true},
        {"1 / 0 = 0", true},
        {"REC:DueDate - today() = 10", true},
        {".5 = 0.50", true},
        // Text against number converts the text; text against text stays text.
        {"'12' = 12", true},
        {"'  12.50' = 12.5", true},
        {"'12 tablets' = 12", true},
        {"'abc' = 0", true},
        {"'10' > 9", true},
        {"'10' > '9'", false},
        {"'it''s' = 'it''s'", true},
        // Truth of a bare value.
        {"REC:Name", true},
        {"'   '", false},
        {"0", false},
        {"0.001", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Test(c.text), c.expected) << c.text;
    }
}

TEST_F(ExpressionTest, RefillWindowIncludesBothEndsAndSkipsEmptyDates) {
    const auto filter = Compile("(REC:DueDate =>today() and REC:DueDate <= Today()+30)");
    struct Case {
        rt::StdDate due;
        bool in;
    } cases[] = {{kToday - 1, false}, {kToday, true}, {kToday + 30, true}, {kToday + 31, false}, {0, false}};
    for (const auto& c : cases) {
        rec.due.set(c.due);  // read live from the buffer
        EXPECT_EQ(filter.Test(), c.in) << c.due - kToday;
    }
    // "today" is read at each evaluation, not at compile time.
    rec.due.set(kToday);
    rt::setFixedClock(kToday + 1);
    EXPECT_FALSE(filter.Test());
}

TEST_F(ExpressionTest, PersonFilterAcrossWidths) {
    const auto filter = Compile("Rec:name=personname");
    EXPECT_TRUE(filter.Test());  // 35-char field, 40-char name, both blank-padded
    person = Pad("Ann Smyth", 40);
    EXPECT_FALSE(filter.Test());
    person = std::string(40, ' ');
    EXPECT_FALSE(filter.Test());
    // A name longer than the stored field is kept to its first 35 characters, and no longer matches.
    const std::string longName = "Annabelle Constance Fotheringham-Smi";  // 36
    ASSERT_EQ(longName.size(), 36u);
    person = Pad(longName, 40);
    rt::assign(rec.name, longName);
    EXPECT_FALSE(filter.Test());
    person = Pad(longName.substr(0, 35), 40);
    EXPECT_TRUE(filter.Test());
}

TEST_F(ExpressionTest, ValuesKeepTheirKind) {
    struct Case {
        const char* text;
        bool isText;
        const char* asText;
    } cases[] = {
        {"REC:Cost", false, "12.34"},
        {"REC:Cost + 1", false, "13.34"},
        {"-REC:Cost", false, "-12.34"},
        {"REC:Count", false, "3"},
        {"REC:Dose", false, "2.5"},
        {"10 / 4", false, "2.5"},
        {"today()", false, "82527"},
        {"REC:Active", true, "Y"},
        {"+REC:Name", true, "Ann Smith                          "},  // an added sort order
        {"clip(REC:Name)", true, "Ann Smith"},
        {"REC:Count & 'x'", true, "3x"},
        {"REC:Count = 3", false, "1"},
        {"'ab' = 'cd'", false, "0"},
    };
    for (const auto& c : cases) {
        const auto v = Compile(c.text).Evaluate();
        EXPECT_EQ(v.isText(), c.isText) << c.text;
        EXPECT_EQ(v.text(), c.asText) << c.text;
    }
    EXPECT_EQ(Compile("REC:DueDate").Evaluate().number(), kToday + 10);
    EXPECT_EQ(Compile("-'7.5'").Evaluate().number(), -7.5);
}

TEST_F(ExpressionTest, MalformedExpressionsNameTheTextAndPosition) {
    struct Case {
        std::string text;
        std::string message;
    } cases[] = {
        {"(REC:Count = 3", "'(' is not closed at position 1"},
        {"((REC:Count = 3) and (1)", "'(' is not closed at position 1"},
        {"(REC:Count = 3 4)", "expected ')' to close the '(' at position 1, found '4' at position 16"},
        {"REC:Count = 3)", "unexpected ')' with no '(' before it at position 14"},
        {"REC:Nope = 1", "unknown name 'REC:Nope' at position 1"},
        {"personname = REC:Namex", "unknown name 'REC:Namex' at position 14"},
        {"tomorrow() = 1", "unknown function 'tomorrow' at position 1"},
        {"REC:Name() = 1", "unknown function 'REC:Name' at position 1"},
        {"today = 1", "unknown name 'today' (a function is called with parentheses) at position 1"},
        {"today(1)", "today() takes no arguments, given 1 at position 1"},
        {"CLIP()", "CLIP() takes 1 argument, given 0 at position 1"},
        {"upper('a', 'b')", "upper() takes 1 argument, given 2 at position 1"},
        {"REC:Active = 'Y", "text not closed by a quote at position 14"},
        {"REC:Active = 'Y''", "text not closed by a quote at position 14"},
        {"REC:Count = 3 3", "unexpected '3' after the end of the expression at position 15"},
        {"REC:Count = 3 'x'", "unexpected text 'x' after the end of the expression at position 15"},
        {"REC:Count =", "expected a value, found end of the expression at position 12"},
        {"REC:Count == 3", "expected a value, found '=' at position 12"},
        {"REC:Count = 3 and", "expected a value, found end of the expression at position 18"},
        {"REC:Count # 3", "unexpected character '#' at position 11"},
        {"REC: Count = 3", "incomplete name at position 1"},
        {"12abc = 1", "malformed number at position 1"},
        {"", "empty expression at position 1"},
        {"   ", "empty expression at position 1"},
        {std::string(1000, '(') + "1" + std::string(1000, ')'), "nested too deeply at position 101"},
        {std::string(1000, '-') + "1", "nested too deeply at position 101"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(rt::Expression::Compile(c.text, &error)) << c.text;
        EXPECT_EQ(error, "expression \"" + c.text + "\": " + c.message);
    }
    EXPECT_FALSE(rt::Expression::Compile("(", nullptr));  // no error text wanted
}

TEST_F(ExpressionTest, LongFlatExpressionsEvaluateWithoutRecursion) {
    std::string text = "0";
    for (int i = 0; i < 20000; ++i) text += "+1";
    EXPECT_EQ(Compile(text + " = 20000 and REC:Count = 3").Evaluate().text(), "1");
}

TEST_F(ExpressionTest, BindingsAreLiveAndReplaceable) {
    const auto active = Compile("REC:Active = 'Y'");
    rec.active[0] = 'N';
    EXPECT_FALSE(active.Test());

    // Binding the name again reaches expressions compiled before.
    Rec other{};
    Fill(other, "Bob", 0, "Y");
    BindRec(other);
    EXPECT_TRUE(active.Test());

    // Once its buffer is unbound the expression reads empty text instead of the buffer.
    rt::UnbindRecord(&other);
    EXPECT_FALSE(rt::IsBound("rec:active"));
    EXPECT_TRUE(rt::IsBound("PersonName"));
    EXPECT_FALSE(active.Test());
    EXPECT_FALSE(rt::Expression::Compile("REC:Active = 'Y'", nullptr));
    BindRec(other);
    EXPECT_TRUE(active.Test());

    rt::Unbind("REC:ACTIVE");
    EXPECT_FALSE(rt::IsBound("REC:Active"));
    EXPECT_TRUE(rt::IsBound("REC:Count"));
    EXPECT_FALSE(active.Test());
}

TEST_F(ExpressionTest, MemoTextAndNumberGetters) {
    std::string memo = "Take with food, twice a day";
    rt::BindMemo("REC:Notes", &memo, 14);
    const auto notes = Compile("rec:notes = 'Take with food'");
    EXPECT_TRUE(notes.Test());
    memo = "Take with";
    EXPECT_FALSE(notes.Test());

    double limit = 2.5;
    rt::BindNumber("limit", [&limit] { return limit; });
    const auto under = Compile("REC:Dose <= LIMIT");
    EXPECT_TRUE(under.Test());
    limit = 2.4;
    EXPECT_FALSE(under.Test());

    // A getter that fails reads as empty text; evaluation does not throw.
    rt::BindText("broken", []() -> std::string { throw std::runtime_error("no"); });
    const auto broken = Compile("broken = '' and broken = 0");
    EXPECT_TRUE(broken.Test());
}

TEST_F(ExpressionTest, DecimalsOfAnySize) {
    struct Case {
        std::vector<unsigned char> bytes;
        int places;
        const char* text;
    } cases[] = {
        {{0x00}, 0, "0"},
        {{0x01, 0x23}, 0, "123"},
        {{0xD0, 0x05}, 1, "-0.5"},
        {{0x01, 0x23, 0x45}, 2, "123.45"},
        {{0x0F, 0x23}, 0, "23"},  // a damaged digit reads as 0
        {{0x01, 0x23, 0x45, 0x67, 0x89, 0x01, 0x23, 0x45, 0x67}, 0, "12345678901234567"},
        {{0x09, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}, 0, "1e+21"},
    };
    for (const auto& c : cases) {
        const rt::FieldDesc f{1, "D:X", rt::FieldType::Decimal, static_cast<std::uint16_t>(c.bytes.size()), 0,
                              static_cast<std::uint8_t>(c.places)};
        rt::BindField("D:X", f, c.bytes.data());
        EXPECT_EQ(Compile("D:X").Evaluate().text(), c.text) << c.bytes.size();
    }
}

TEST(ExpressionThreads, EachThreadSeesItsOwnBindings) {
    std::mutex personLock;  // the process-wide name is read under its own lock by the getter
    std::string person = Pad("Ann", 40);
    std::barrier bound(2);
    std::atomic<int> failures{0};

    auto task = [&](char active, std::string_view name) {
        Rec r{};
        Fill(r, name, 0, std::string_view(&active, 1));
        BindRec(r);
        rt::BindText("personname", [&] {
            std::lock_guard lock(personLock);
            return person;
        });
        bound.arrive_and_wait();  // both threads have bound the same names to different buffers
        auto mine = rt::Expression::Compile("REC:Active = '" + std::string(1, active) + "'", nullptr);
        auto filter = rt::Expression::Compile("REC:Name = personname", nullptr);
        if (!mine || !filter) {
            ++failures;
            return;
        }
        for (int i = 0; i < 2000; ++i) {
            if (!mine->Test()) ++failures;
            if (filter->Test() != (name == "Ann")) ++failures;
            if (active == 'Y' && i % 100 == 0) {
                std::lock_guard lock(personLock);
                person = Pad("Ann", 40);  // written while the other thread reads it
            }
        }
        rt::UnbindAll();
    };
    std::thread a(task, 'Y', "Ann");
    std::thread b(task, 'N', "Bob");
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0);
    // This thread bound nothing.
    EXPECT_FALSE(rt::IsBound("REC:Active"));
}

}  // namespace
