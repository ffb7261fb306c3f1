// What a record holds after a round trip, where it stays, and what keys refuse.
#include <limits>

#include "files_test_support.h"

namespace filetest {
namespace {

using namespace files;

class Records : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        ASSERT_EQ(t.openOrCreate(), 0) << t.file.lastErrorText();
    }
    MedFile t{medTable()};
};

TEST_F(Records, EveryFieldTypeRoundTripsExactly) {
    std::string allHigh;
    for (int b = 0x80; b < 0x80 + 20; ++b) allHigh += static_cast<char>(b);  // includes the bytes the code page leaves undefined
    std::vector<Med> cases;
    {
        Med m = med(allHigh, "Y", ymd(2024, 2, 29), 1, *rt::timeFromHms(23, 59, 59, 99), "ABCDEFGHIJK");
        m.qty = std::numeric_limits<std::int16_t>::min();
        m.cost.setScaled(-9999999);
        m.refills = 1e300;
        m.flag = 255;
        cases.push_back(m);
    }
    {
        std::string hi;
        for (int b = 0xA0; b < 0xA0 + 20; ++b) hi += static_cast<char>(b);
        Med m = med(hi, "N", ymd(1801, 1, 1), std::numeric_limits<std::int32_t>::min(), 0, "\xE9\x80");
        m.qty = 32767;
        m.cost.setScaled(1);
        m.refills = -0.125;
        cases.push_back(m);
    }
    {
        Med m = med(std::string(20, 'x'), "", ymd(9999, 12, 31), std::numeric_limits<std::int32_t>::max(), 1);
        cases.push_back(m);
    }
    for (const auto& m : cases) {
        ASSERT_EQ(t.add(m), 0) << t.file.lastErrorText();
        const Position pos = t.file.position();
        std::memset(static_cast<void*>(&t.rec), 0x5A, sizeof t.rec);
        ASSERT_EQ(t.file.getAt(pos), 0);
        EXPECT_EQ(std::memcmp(&t.rec, &m, sizeof m), 0) << "tag " << m.tag;
    }
}

TEST_F(Records, MemoRoundTripCutAndSkipped) {
    struct Case {
        std::string written, read;
    } cases[] = {
        {"Take with food.\r\nNot with \xE9pices \x80 5.", "Take with food.\r\nNot with \xE9pices \x80 5."},
        {"trailing blanks   ", "trailing blanks"},
        {std::string(250, 'm'), std::string(200, 'm')},  // the memo holds 200
        {"", ""},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(t.add(med("x", "Y", 0, 1), c.written), 0);
        const Position pos = t.file.position();
        t.notes = "stale";
        ASSERT_EQ(t.file.getAt(pos), 0);
        EXPECT_EQ(t.notes, c.read);
    }
    // With memo reading off the memo string is left alone.
    t.file.setReadMemo(false);
    t.notes = "untouched";
    ASSERT_EQ(t.file.getAt(Position{1}), 0);
    EXPECT_EQ(t.notes, "untouched");
    t.file.setReadMemo(true);
    ASSERT_EQ(t.file.getAt(Position{1}), 0);
    EXPECT_EQ(t.notes, cases[0].read);
}

TEST_F(Records, PositionsSurviveDeletesAndAreNeverReused) {
    for (int i = 1; i <= 5; ++i) ASSERT_EQ(t.add(med("n" + std::to_string(i), "Y", 0, i)), 0);
    ASSERT_EQ(t.file.eraseAt(Position{2}), 0);
    ASSERT_EQ(t.file.getAt(Position{4}), 0);
    ASSERT_EQ(t.file.erase(), 0);  // the current record
    EXPECT_FALSE(t.file.position().valid());
    EXPECT_EQ(t.file.put(), kRecordNotAvailable);
    EXPECT_EQ(t.file.eraseAt(Position{4}), kRecordNotFound);
    ASSERT_EQ(t.file.eraseAt(Position{5}), 0);
    ASSERT_EQ(t.add(med("n6", "Y", 0, 6)), 0);
    EXPECT_EQ(t.file.position().id, 6);  // not 5, though 5 was the highest
    t.file.close();
    ReleaseThreadConnections();
    rawSql(file("MEDS.sqlite"), "VACUUM");

    ASSERT_EQ(t.file.open(), 0);
    for (int i : {1, 3, 6}) {
        ASSERT_EQ(t.file.getAt(Position{i}), 0);
        EXPECT_EQ(t.tag(), i);
    }
    EXPECT_EQ(t.file.getAt(Position{2}), kRecordNotFound);
    EXPECT_EQ(t.order(kByName, 1), (std::vector<int>{1, 3, 6}));
}

TEST_F(Records, PutWritesAndMovesTheRecordInItsKeys) {
    for (int i = 1; i <= 3; ++i) ASSERT_EQ(t.add(med("n" + std::to_string(i), "Y", 0, i)), 0);
    ASSERT_EQ(t.file.getAt(Position{1}), 0);
    const auto v = t.file.version();
    rt::assign(t.rec.name, "zz");
    ASSERT_EQ(t.file.put(), 0);
    EXPECT_EQ(t.file.version(), v + 1);
    EXPECT_EQ(t.order(kByName, 1), (std::vector<int>{2, 3, 1}));
    // putAt with a stale version is refused and shows the stored record.
    rt::assign(t.rec.name, "aa");
    EXPECT_EQ(t.file.putAt(Position{1}, v), kRecordChanged);
    EXPECT_EQ(rt::clip(t.rec.name), "zz");
    EXPECT_EQ(t.file.putAt(Position{9}, 1), kRecordNotFound);
}

TEST_F(Records, UniqueKeyRefusesDuplicatesButNotBlanks) {
    ASSERT_EQ(t.add(med("a", "Y", 0, 1, 0, "RX-1")), 0);
    ASSERT_EQ(t.add(med("b", "Y", 0, 2, 0, "RX-2")), 0);
    EXPECT_EQ(t.add(med("c", "Y", 0, 3, 0, "rx-1  ")), kDuplicateKey);  // compared as the key compares
    EXPECT_NE(t.file.lastErrorText().find("UNIQUE"), std::string::npos) << t.file.lastErrorText();
    ASSERT_EQ(t.add(med("d", "Y", 0, 4)), 0);  // blank codes are in no key, so never duplicates
    ASSERT_EQ(t.add(med("e", "Y", 0, 5)), 0);
    ASSERT_EQ(t.file.getAt(Position{2}), 0);
    rt::assignC(t.rec.code, "Rx-1");
    EXPECT_EQ(t.file.put(), kDuplicateKey);
    ASSERT_EQ(t.file.getAt(Position{2}), 0);
    EXPECT_EQ(rt::cstr(t.rec.code), "RX-2");
    std::int64_t n = 0;
    ASSERT_EQ(t.file.records(&n), 0);
    EXPECT_EQ(n, 4);
}

TEST_F(Records, ForeignTextReadsWithoutCrashing) {
    ASSERT_EQ(t.add(med("plain", "Y", 0, 1)), 0);
    t.file.close();
    ReleaseThreadConnections();
    // Text other programs may have stored: characters outside the code page, broken UTF-8, too long, NULL.
    rawSql(file("MEDS.sqlite"),
           "INSERT INTO MEDS (NAME, ACTIVE, CODE, TAG) VALUES ('snow\xE2\x98\x83man', 'Y', 'c', 2);"
           "INSERT INTO MEDS (NAME, ACTIVE, CODE, TAG) VALUES (CAST(x'41ff42' AS TEXT), 'Y', 'd', 3);"
           "INSERT INTO MEDS (NAME, ACTIVE, CODE, TAG) VALUES ('" + std::string(60, 'L') + "', 'Y', 'e', 4);"
           "UPDATE MEDS SET REFILLS = 'lots', QTY = 99999999999 WHERE TAG = 4;");
    ASSERT_EQ(t.file.open(), 0);
    struct Case {
        int tag;
        std::string name;
    } cases[] = {{2, "snow?man"}, {3, "A?B"}, {4, std::string(20, 'L')}};
    for (const auto& c : cases) {
        ASSERT_EQ(t.file.getAt(Position{c.tag}), 0);
        EXPECT_EQ(std::string(t.rec.name, 20), rt::padTo(c.name, 20));
    }
    EXPECT_EQ(t.order(kByName, 1).size(), 4u);
    EXPECT_EQ(t.order(kByName, -1).size(), 4u);
}

// The list-format file: a name with its own extension, a unique key of five components with OPT
// and NOCASE, and fields of several kilobytes.
#pragma pack(push, 1)
struct Format {
    char app[30];
    char proc[30];
    std::int16_t user, ctrl, formatId;
    char name[30];
    std::uint8_t flag;
    char format[5120];
    char varline[2048];
};
#pragma pack(pop)
static_assert(sizeof(Format) == 7265);

#define FMT_F(member) static_cast<std::uint16_t>(sizeof(Format::member)), static_cast<std::uint16_t>(offsetof(Format, member))
const rt::FieldDesc kFormatFields[] = {
    {1, "CFG:APPNAME", rt::FieldType::String, FMT_F(app)},    {2, "CFG:PROCID", rt::FieldType::String, FMT_F(proc)},
    {3, "CFG:USERID", rt::FieldType::Short, FMT_F(user)},     {4, "CFG:CTRLID", rt::FieldType::Short, FMT_F(ctrl)},
    {5, "CFG:FORMATID", rt::FieldType::Short, FMT_F(formatId)}, {6, "CFG:FORMATNAME", rt::FieldType::String, FMT_F(name)},
    {7, "CFG:FLAG", rt::FieldType::Byte, FMT_F(flag)},         {8, "CFG:FORMAT", rt::FieldType::String, FMT_F(format)},
    {9, "CFG:VARLINE", rt::FieldType::String, FMT_F(varline)},
};
#undef FMT_F
const rt::KeyDesc kFormatKeys[] = {{"CFG:KEY_MAIN", "CFG:KEY_MAIN", {{1}, {2}, {3}, {4}, {5}}, false, true, true}};

TEST_F(FilesTest, ListFormatFile) {
    const rt::TableDesc desc{"ListFormats", "CFG", "Formats.FDB", sizeof(Format), kFormatFields, kFormatKeys};
    Format f{};
    TableFile file(desc, &f, nullptr);
    EXPECT_EQ(file.path(), dir_ + "/Formats.FDB");
    ASSERT_EQ(file.open(), kFileNotFound);
    ASSERT_EQ(file.create(), 0);
    ASSERT_EQ(file.open(), 0);
    auto fill = [&](const char* proc, int ctrl, int id, char layoutChar) {
        f = Format{};
        rt::assign(f.app, "PRESCRIP");
        rt::assign(f.proc, proc);
        f.user = 1;
        f.ctrl = static_cast<std::int16_t>(ctrl);
        f.formatId = static_cast<std::int16_t>(id);
        rt::assign(f.name, "SortOrder1");
        f.flag = 2;
        rt::assign(f.format, std::string(5120, layoutChar));
        rt::assign(f.varline, "?PRE:DRUGNAME(1)");
    };
    fill("BrowsePrescripts", 1, 2, 'a');
    ASSERT_EQ(file.add(), 0);
    fill("BrowsePrescripts", 1, 3, 'b');
    ASSERT_EQ(file.add(), 0);
    fill("UpdatePersonsName", 20, 2, 'c');
    ASSERT_EQ(file.add(), 0);
    fill("browseprescripts", 1, 2, 'd');  // the same list and format, another case
    EXPECT_EQ(file.add(), kDuplicateKey);
    fill("BrowsePrescripts", 1, 3, ' ');
    ASSERT_EQ(file.get(0), 0);
    EXPECT_EQ(f.format[5119], 'b');
    EXPECT_EQ(f.flag, 2);
    f = Format{};  // all blank and zero: twice, as OPT keeps it out of the key
    ASSERT_EQ(file.add(), 0);
    ASSERT_EQ(file.add(), 0);
}

}  // namespace
}  // namespace filetest
