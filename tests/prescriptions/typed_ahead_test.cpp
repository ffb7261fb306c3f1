// Prescriptions typed in one after another with no pause, on the headless presenter: each key
// waits while the list or the form acts on the keys before it, so every key goes into the window
// the keyboard is in by then, and the files hold exactly what was typed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/keys.h"
#include "support/program_test.h"
#include "support/typed_inserts.h"

namespace {

using testing_support::StoredDrugList;
using testing_support::StoredPrescriptionDrugs;
using testing_support::TypedDrug;

constexpr int kDrugs = 12;

class TypedAhead : public testing_support::ProgramTest {};

TEST_F(TypedAhead, InsertsTypedWithNoPauseStoreExactlyWhatWasTyped) {
    testing_support::SeedTypedInsertTables(kDrugs);
    program_.Start().Press("?BROWSEPRESCRIPTS");
    user_.Find("BrowsePrescripts");
    // Out of the lookup's order, so no completion stands in for a name typed.
    const std::vector<int> drugs = {7, 3, 12, 1, 9, 4, 10, 2};
    struct Case {
        const char* what;
        std::vector<wnd::KeyCode> leave;  // what the user does after the name
    };
    const Case cases[] = {
        {"Tab, then the form's OK by its letter", {wnd::kKeyTab, wnd::kAlt | 'O'}},
        {"the form's OK by its letter, straight from the name", {wnd::kAlt | 'O'}},
    };
    std::vector<std::string> typed;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        hl::KeySequence keys;
        for (int i : drugs) {
            typed.push_back(TypedDrug(i));
            keys.Key(wnd::kAlt | 'I').Type(TypedDrug(i));
            for (wnd::KeyCode k : c.leave) keys.Key(k);
        }
        user_.TypeAhead(keys);
        EXPECT_EQ(StoredPrescriptionDrugs(), typed);
        EXPECT_EQ(StoredDrugList().size(), static_cast<std::size_t>(kDrugs)) << "no drug added";
        EXPECT_FALSE(user_.Has("UpdatePrescripts"));
        EXPECT_FALSE(user_.Has("UpdateDrugNames"));
        EXPECT_TRUE(user_.Messages().empty());
        EXPECT_EQ(user_.WindowCount(), 2u) << "the frame and the list";
    }
    // Tab after a name's first letters waits for the lookup's completion of them, so the form
    // takes the name the user would have seen completed.
    hl::KeySequence keys;
    for (const char* prefix : {"Med1", "Med0", "med05"}) keys.Key(wnd::kAlt | 'I').Type(prefix).Key(wnd::kKeyTab).Key(wnd::kAlt | 'O');
    user_.TypeAhead(keys);
    for (const char* completed : {"Med10", "Med01", "Med05"}) typed.push_back(completed);
    EXPECT_EQ(StoredPrescriptionDrugs(), typed);
    EXPECT_EQ(StoredDrugList().size(), static_cast<std::size_t>(kDrugs)) << "no drug added";
    EXPECT_EQ(user_.WindowCount(), 2u);
}

}  // namespace
