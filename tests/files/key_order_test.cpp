// Key orders: OPT, NOCASE over the whole code page, DUP ties, descending components, seeks.
#include <random>

#include "files_test_support.h"

namespace filetest {
namespace {

using files::kRecordNotAvailable;

class KeyOrder : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        ASSERT_EQ(t.openOrCreate(), 0) << t.file.lastErrorText();
        // tag: name, active, date, time, code
        const Med rows[] = {
            med("apple", "Y", ymd(2024, 1, 5), 1, 0, "a1"),
            med("Apple", "N", ymd(2024, 3, 1), 2, *rt::timeFromHms(10, 0, 0), "a2"),
            med("APPLE   ", "Y", ymd(2024, 2, 1), 3),
            med("\xE9" "clair", "Y", 0, 4),                                   // éclair, no date nor time
            med("\xC9" "clair", "Y", 0, 5, *rt::timeFromHms(8, 0, 0)),        // Éclair, a time only
            med("banana", "", 0, 6),
            med("", "", 0, 7),                                                // blank in every key
            med("zucchini", "N", ymd(2023, 12, 31), 8),
            med("\xC4" "rger", "y", ymd(2024, 6, 1), 9),                      // Ärger, active 'y'
        };
        for (const auto& r : rows) ASSERT_EQ(t.add(r), 0) << t.file.lastErrorText();
    }
    MedFile t{medTable()};
};

TEST_F(KeyOrder, EachKeyInBothDirections) {
    struct Case {
        int key;
        std::vector<int> forward;
    } cases[] = {
        // Names fold (é = É, Ä after z in the code page); Y before N; the later date first; ties by position.
        {kByName, {3, 1, 2, 6, 8, 9, 4, 5}},
        // Left out only when date and time are both zero (4, 6, 7).
        {kByDate, {5, 8, 1, 3, 2, 9}},
        // 'y' equals 'Y'; blank flags (6, 7) are not in the key.
        {kByActive, {1, 3, 4, 5, 9, 2, 8}},
        // Case-sensitive code-page order; without OPT the blank name is in.
        {kExactName, {7, 3, 2, 1, 6, 8, 9, 5, 4}},
        {kByCode, {1, 2}},
        {-1, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(t.order(c.key, 1), c.forward) << "key " << c.key;
        EXPECT_EQ(t.order(c.key, -1), reversed(c.forward)) << "key " << c.key;
    }
}

TEST_F(KeyOrder, InKeyFollowsOpt) {
    struct Case {
        int tag;
        bool byName, byDate, byActive;
    } cases[] = {{4, true, false, true}, {5, true, true, true}, {6, true, false, false}, {7, false, false, false}};
    for (const auto& c : cases) {
        ASSERT_EQ(t.file.getAt(files::Position{c.tag}), 0);
        EXPECT_EQ(t.file.inKey(kByName), c.byName) << c.tag;
        EXPECT_EQ(t.file.inKey(kByDate), c.byDate) << c.tag;
        EXPECT_EQ(t.file.inKey(kByActive), c.byActive) << c.tag;
        EXPECT_TRUE(t.file.inKey(kExactName));
    }
}

TEST_F(KeyOrder, SeekByKeyValueBothWays) {
    struct Case {
        const char* what;
        int key;
        Med value;
        int next, previous;  // 0: none
    } cases[] = {
        // A blank flag sorts after Y and N in a descending component: past the whole apple group.
        {"apple, blank flag", kByName, med("APPLE", "", 0, 0), 6, 2},
        // Between the February (3) and January (1) apples, as dates descend.
        {"apple Y 20 Jan", kByName, med("apple", "Y", ymd(2024, 1, 20), 0), 1, 3},
        {"apple Y Feb 1 exactly", kByName, med("Apple", "y", ymd(2024, 2, 1), 0), 3, 0},
        {"b", kByName, med("b", "", 0, 0), 6, 2},
        {"zzz before \xC4", kByName, med("zzz", "", 0, 0), 9, 8},
        {"\xFF after all", kByName, med("\xFF", "", 0, 0), 0, 5},
        {"\xC9" "CLAIR", kByName, med("\xC9" "CLAIR", "Y", 0, 0), 4, 9},
        {"date 5 Jan", kByDate, med("", "", ymd(2024, 1, 5), 0), 1, 8},
        {"date 0, time 0", kByDate, med("", "", 0, 0), 5, 0},
        {"flag N", kByActive, med("", "N", 0, 0), 2, 9},
    };
    for (const auto& c : cases) {
        for (int dir : {1, -1}) {
            t.rec = c.value;
            ASSERT_EQ(t.file.setKeyValue(c.key), 0);
            const int want = dir > 0 ? c.next : c.previous;
            const int e = dir > 0 ? t.file.next() : t.file.previous();
            if (want == 0) {
                EXPECT_EQ(e, kRecordNotAvailable) << c.what << " dir " << dir;
            } else {
                EXPECT_EQ(e, 0) << c.what << " dir " << dir;
                EXPECT_EQ(t.tag(), want) << c.what << " dir " << dir;
            }
        }
    }
    // get() needs the whole key equal, names compared without case.
    t.rec = med("\xC9" "CLAIR", "y", 0, 0);
    ASSERT_EQ(t.file.get(kByName), 0);
    EXPECT_EQ(t.tag(), 4);
    EXPECT_EQ(t.file.next(), 0);  // the cursor continues from the record found
    EXPECT_EQ(t.tag(), 5);
    t.rec = med("\xC9" "CLAIR", "N", 0, 0);
    EXPECT_EQ(t.file.get(kByName), files::kRecordNotFound);
    t.rec = med("", "", 0, 0);
    EXPECT_EQ(t.file.get(kByName), files::kRecordNotFound);  // not in the key at all
}

TEST_F(KeyOrder, SetAtPositionThenBothWays) {
    ASSERT_EQ(t.file.setAtPosition(kByName, files::Position{1}), 0);
    ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(t.tag(), 1);
    ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(t.tag(), 2);
    ASSERT_EQ(t.file.setAtPosition(kByName, files::Position{1}), 0);
    ASSERT_EQ(t.file.previous(), 0);
    EXPECT_EQ(t.tag(), 3);
    // A record the key leaves out still has a place in its order.
    ASSERT_EQ(t.file.setAtPosition(kByDate, files::Position{4}), 0);
    ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(t.tag(), 5);
    EXPECT_EQ(t.file.setAtPosition(kByName, files::Position{99}), files::kRecordNotFound);
}

TEST_F(KeyOrder, EndsTurnAround) {
    // Past the end previous() reads the last record; before the start next() reads the first.
    ASSERT_EQ(t.file.setKeyOrder(kByDate), 0);
    while (t.file.next() == 0) {
    }
    EXPECT_EQ(t.file.next(), kRecordNotAvailable);
    ASSERT_EQ(t.file.previous(), 0);
    EXPECT_EQ(t.tag(), 9);
    while (t.file.previous() == 0) {
    }
    EXPECT_EQ(t.file.previous(), kRecordNotAvailable);
    ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(t.tag(), 5);
}

// Many equal keys cross page boundaries and change direction midway; a reference model checks
// every key order of a random table.
class ManyRecords : public FilesTest {
protected:
    MedFile t{medTable()};
};

TEST_F(ManyRecords, EqualKeysAcrossPagesAndTurns) {
    ASSERT_EQ(t.openOrCreate(), 0);
    ASSERT_EQ(t.file.begin(5), 0);
    for (int i = 1; i <= 300; ++i) ASSERT_EQ(t.add(med(i <= 150 ? "same" : "SAME2", "Y", ymd(2024, 1, 1), i)), 0);
    ASSERT_EQ(t.file.commit(), 0);
    std::vector<int> all(300);
    for (int i = 0; i < 300; ++i) all[static_cast<std::size_t>(i)] = i + 1;
    EXPECT_EQ(t.order(kByName, 1), all);
    EXPECT_EQ(t.order(kByName, -1), reversed(all));

    ASSERT_EQ(t.file.setKeyOrder(kByName), 0);
    for (int i = 1; i <= 100; ++i) ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(t.tag(), 100);
    ASSERT_EQ(t.file.previous(), 0);
    EXPECT_EQ(t.tag(), 99);
    for (int i = 0; i < 120; ++i) ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(t.tag(), 219);
}

TEST_F(ManyRecords, RandomTableMatchesModel) {
    ASSERT_EQ(t.openOrCreate(), 0);
    std::mt19937 rng(20240611);
    const char* names[] = {"aspirin", "Aspirin", "ASPIRIN ", "ibuprofen", "\xE9pinephrine", "\xC9PINEPHRINE", "", "zinc"};
    const char* flags[] = {"Y", "N", "y", ""};
    std::vector<Med> model;
    ASSERT_EQ(t.file.begin(5), 0);
    for (int i = 1; i <= 400; ++i) {
        Med m = med(names[rng() % 8], flags[rng() % 4], rng() % 3 ? ymd(2020, 1, 1) + static_cast<int>(rng() % 5) : 0, i,
                    rng() % 2 ? *rt::timeFromHms(static_cast<int>(rng() % 3), 0, 0) : 0);
        ASSERT_EQ(t.add(m), 0);
        model.push_back(m);
    }
    ASSERT_EQ(t.file.commit(), 0);
    // Delete some, so positions have gaps.
    for (int i = 7; i <= 400; i += 13) {
        ASSERT_EQ(t.file.eraseAt(files::Position{i}), 0);
        model[static_cast<std::size_t>(i - 1)].tag = -1;
    }
    std::erase_if(model, [](const Med& m) { return m.tag < 0; });

    const rt::TableDesc d = medTable();
    for (int key = 0; key < kMedKeys; ++key) {
        if (key == kByCode) continue;
        const auto& kd = d.keys[static_cast<std::size_t>(key)];
        std::vector<Med> in;
        for (const auto& m : model) {
            bool blank = true;
            for (const auto& c : kd.components) {
                const auto& f = d.fields[static_cast<std::size_t>(c.field - 1)];
                const char* p = reinterpret_cast<const char*>(&m) + f.offset;
                blank = blank && (f.type == rt::FieldType::String ? rt::clipped(p, f.size).empty()
                                                                   : std::all_of(p, p + f.size, [](char ch) { return ch == 0; }));
            }
            if (!kd.opt || !blank) in.push_back(m);
        }
        auto cmpField = [&](const Med& a, const Med& b, int field) {
            switch (field) {
                case 1: return rt::compareNoCase(rt::clipped(a.name, 20), rt::clipped(b.name, 20));
                case 2: return rt::compareNoCase(rt::clipped(a.active, 1), rt::clipped(b.active, 1));
                case 3: return a.date.get() < b.date.get() ? -1 : a.date.get() > b.date.get();
                case 4: return a.time.get() < b.time.get() ? -1 : a.time.get() > b.time.get();
            }
            return 0;
        };
        // Byte order of text as unsigned characters, as the code page orders it.
        auto unsignedLess = [](std::string_view x, std::string_view y) {
            return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(),
                                                [](char p, char q) { return static_cast<unsigned char>(p) < static_cast<unsigned char>(q); });
        };
        std::stable_sort(in.begin(), in.end(), [&](const Med& a, const Med& b) {
            for (const auto& c : kd.components) {
                int r = cmpField(a, b, c.field);
                if (c.field == 1 && !kd.nocase) {
                    const auto x = rt::clipped(a.name, 20), y = rt::clipped(b.name, 20);
                    r = unsignedLess(x, y) ? -1 : unsignedLess(y, x) ? 1 : 0;
                }
                if (r) return c.descending ? r > 0 : r < 0;
            }
            return a.tag < b.tag;
        });
        std::vector<int> want;
        for (const auto& m : in) want.push_back(int{m.tag});
        EXPECT_EQ(t.order(key, 1), want) << "key " << key;
        EXPECT_EQ(t.order(key, -1), reversed(want)) << "key " << key;
    }
}

TEST(Collation, CodePageFoldingAndTrailingBlanks) {
    struct Case {
        const char* a;
        const char* b;
        int nocase, exact;
    } cases[] = {
        {"abc", "ABC", 0, 1},
        {"abc   ", "abc", 0, 0},
        {"\xC3\xA9", "\xC3\x89", 0, 1},            // é É
        {"\xC5\xA1", "\xC5\xA0", 0, 1},            // š Š (0x9A, 0x8A)
        {"z", "\xC3\xA4", -1, -1},                 // z before ä
        {"\xE2\x82\xAC", "a", 1, 1},               // € is 0x80
        {"a\xE2\x98\x83", "a?", 0, 0},             // a character the code page lacks reads as '?'
        {"a\xFF", "a?", 0, 0},                     // so does a byte that is no UTF-8
        {"a\xC1\x81", "a?", 0, 0},                 // and an overlong form, not as the 'A' it spells
        {"a\xE2\x82" "b", "a?b", 0, 0},             // a sequence cut short is one '?'
        {"ab", "abc", -1, -1},
    };
    for (const auto& c : cases) {
        auto sign = [](int v) { return (v > 0) - (v < 0); };
        EXPECT_EQ(sign(files::compareCp1252(c.a, c.b, true)), c.nocase) << c.a << " / " << c.b;
        EXPECT_EQ(sign(files::compareCp1252(c.a, c.b, false)), c.exact) << c.a << " / " << c.b;
        EXPECT_EQ(sign(files::compareCp1252(c.b, c.a, true)), -c.nocase) << c.b << " / " << c.a;
    }
}

}  // namespace
}  // namespace filetest
