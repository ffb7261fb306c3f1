#include <gtest/gtest.h>

#include <cstring>

#include "platform/runtime/field_access.h"
#include "platform/window/use_variable.h"
#include "window/thing_record.h"

namespace {

rt::Picture pic(const char* source) {
    std::string error;
    auto p = rt::Picture::Parse(source, &error);
    EXPECT_TRUE(p) << error;
    return *p;
}

// Typed text through a picture into a record field: stored value on success, refusal (and the old
// value kept) when the text does not fit the picture or the field.
TEST(UseVariable, TypedTextIntoRecordFields) {
    struct Case {
        int field;
        const char* picture;
        const char* typed;
        const char* stored;  // nullptr: refused
        const char* says;    // part of the refusal
    };
    const Case cases[] = {
        {1, "@s10", "Aspirin", "Aspirin", ""},
        {1, "@s20", "Acetaminophen 500", nullptr, "at most 10"},  // picture wider than the field
        {1, "@s5", "Aspirin", nullptr, "too long"},
        {2, "@n6", "1234", "1234", ""},
        {2, "@n6", "40000", nullptr, "-32768 and 32767"},
        {2, "@n6", "12x", nullptr, "not a number"},
        {3, "@n-12.2", "99999.99", "99999.99", ""},
        {3, "@n-12.2", "123456.78", nullptr, "99999.99"},
        {3, "@n-12.2", "1.005", "1.01", ""},  // rounded to the field's places, exactly
        {4, "@d17", "2/3/2026", nullptr, ""},  // stored as a date: checked below
        {4, "@d17", "02/30/2026", nullptr, "02/30/2026"},
    };
    for (const Case& c : cases) {
        wtest::Thing rec{};
        rt::clearRecord(wtest::kThingTable, &rec);
        const rt::FieldDesc& f = wtest::kThingFields[static_cast<std::size_t>(c.field - 1)];
        ASSERT_TRUE(rt::setFieldText(f, &rec, f.type == rt::FieldType::String ? "Old" : "7"));
        const std::string before = rt::fieldText(f, &rec);
        const auto use = wnd::UseVariable::Field(f, &rec);
        std::string error;
        const bool ok = use.Store(c.typed, pic(c.picture), &error);
        if (c.stored) {
            EXPECT_TRUE(ok) << c.typed << ": " << error;
            EXPECT_EQ(rt::fieldText(f, &rec), c.stored) << c.typed;
        } else if (f.type == rt::FieldType::Date && *c.says == 0) {
            EXPECT_TRUE(ok) << error;
            EXPECT_EQ(use.Format(pic("@d17")), "02/03/2026");
        } else {
            EXPECT_FALSE(ok) << c.typed;
            EXPECT_NE(error.find(c.says), std::string::npos) << c.typed << " -> " << error;
            EXPECT_EQ(rt::fieldText(f, &rec), before) << c.typed;
        }
    }
}

TEST(UseVariable, LocalsAndDefaults) {
    std::int32_t n = 5;
    const auto longVar = wnd::UseVariable::Long(n);
    EXPECT_EQ(longVar.DefaultPicture(), "@n-14");
    std::string error;
    EXPECT_FALSE(longVar.Store("3000000000", pic("@n-14"), &error));
    EXPECT_EQ(n, 5);
    EXPECT_TRUE(longVar.Store("-12", pic("@n-14"), &error)) << error;
    EXPECT_EQ(n, -12);
    EXPECT_TRUE(longVar.Store("1/1/1801", pic("@d17"), &error)) << error;  // a date in a LONG
    EXPECT_EQ(n, 4);

    std::string s = "x";
    const auto text = wnd::UseVariable::Text(s, 3);
    EXPECT_FALSE(text.Store("abcd", pic("@s10"), &error));
    EXPECT_EQ(s, "x");
    EXPECT_TRUE(text.Store("abc ", pic("@s10"), &error));
    EXPECT_EQ(s, "abc");
    EXPECT_EQ(wnd::UseVariable::Field(wtest::kThingFields[2], nullptr).DefaultPicture(), "@n-9.2");
}

}  // namespace
