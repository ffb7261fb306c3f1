// The prescription form's person lookup adds a name it does not know through the health-profile
// form, on the prescription form's thread, with the typed name filled in; its person button starts
// the people list.
#include "people_fixture.h"

namespace {

using namespace people_test;

class PersonLookup : public PeopleTest {
protected:
    // A new prescription from the prescription list, as a user starts one.
    hl::UserWindow NewPrescription() {
        wnd::StartTask(shell::FindProcedure("BrowsePrescripts"), 50000);
        user_.Find("BrowsePrescripts").Press("?INSERT:4");
        return user_.Find("UpdatePrescripts");
    }
};

TEST_F(PersonLookup, ATypedNameTheTableLacksIsAddedThroughTheHealthProfile) {
    store(data::PersonsNameTable(), std::vector{person("mother")});
    auto prescription = NewPrescription();
    prescription.Fill("?PER:PERSONSNAME", "Zelda");
    auto form = user_.Find("UpdatePersonsName");
    EXPECT_EQ(ThreadOf(form), ThreadOf(prescription));
    EXPECT_EQ(form.Caption(), "Record Will Be Added");
    EXPECT_EQ(form.Text("?PER:PERSONSNAME"), "Zelda");
    EXPECT_EQ(personname(), "Zelda");
    form.ChooseRadio("?PER:GENDER:RADIO2");
    form.ChooseRadio("?PER:MARITALSTATUS:RADIO1");
    form.Press("?OK");
    ASSERT_FALSE(form.Open());
    EXPECT_EQ(prescription.Text("?PER:PERSONSNAME"), "Zelda");
    const auto people = storedPeople();
    ASSERT_EQ(people.size(), 2u);
    EXPECT_EQ(trimmed(rt::view(people[1].PERSONSNAME)), "Zelda") << "kept without a first or last name";
    EXPECT_EQ(people[1].DATEUPDATED.get(), today()) << "the chosen gender changed the profile";
}

TEST_F(PersonLookup, CancellingTheNewPersonLeavesNoPersonAndNoPersonname) {
    auto prescription = NewPrescription();
    prescription.Fill("?PER:PERSONSNAME", "Yolanda");
    auto form = user_.Find("UpdatePersonsName");
    form.Press("?CANCEL");
    ASSERT_FALSE(form.Open());
    EXPECT_EQ(personname(), "");
    EXPECT_TRUE(storedPeople().empty());
    EXPECT_EQ(prescription.Text("?PER:PERSONSNAME"), "");
}

TEST_F(PersonLookup, ThePersonButtonStartsThePeopleListOnAThreadOfItsOwn) {
    auto prescription = NewPrescription();
    ASSERT_TRUE(prescription.Enabled("?BUTTON4:4"));
    prescription.Press("?BUTTON4:4");
    auto list = user_.Find("BrowsePerson");
    EXPECT_NE(ThreadOf(list), ThreadOf(prescription));
    EXPECT_FALSE(prescription.Inert());
}

}  // namespace
