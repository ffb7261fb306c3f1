#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/list_format_record.h"
#include "data/persons_record.h"
#include "data/records.h"

namespace {

std::vector<const rt::TableDesc*> everyDescriptor() {
    std::vector<const rt::TableDesc*> all(data::declaredTables().begin(), data::declaredTables().end());
    all.push_back(&data::ListFormatsTable());
    return all;
}

TEST(Layout, EveryDescriptorIsSound) {
    for (const auto* t : everyDescriptor()) EXPECT_EQ(rt::validateLayout(*t), "") << t->label;
}

TEST(Layout, TablesInDeclarationOrder) {
    const std::vector<std::string> expected = {"Manufacturer", "Form",      "Doctors",  "PlanName", "Pharmacy",
                                               "PersonsName",  "DrugNames", "Bloodpre", "Glucose",  "Prescripts"};
    std::vector<std::string> labels;
    for (const auto* t : data::declaredTables()) labels.emplace_back(t->label);
    EXPECT_EQ(labels, expected);
}

TEST(Layout, FileNamesPrefixesAndSizes) {
    struct Case {
        const rt::TableDesc& table;
        const char* prefix;
        const char* file;
        std::size_t bytes;
        std::size_t fields;
    };
    const Case cases[] = {
        {data::PrescriptsTable(), "PRE", "PRESCRIP", 606, 22},
        {data::DoctorsTable(), "DOC", "support\\!doctors", 84, 3},
        {data::PharmacyTable(), "PHA", "support\\!pharmacy", 276, 9},
        {data::DrugNamesTable(), "DRU", "support\\!drugs", 115, 3},
        {data::FormTable(), "FOR", "support\\!Form", 60, 1},
        {data::PlanNameTable(), "PLA", "support\\!Planname", 80, 2},
        {data::ManufacturerTable(), "MAN", "support\\!manufac", 50, 1},
        {data::BloodpreTable(), "Blo", "support\\!Bloodpre", 102, 7},
        {data::GlucoseTable(), "Glu", "support\\!Glucose", 80, 5},
        {data::PersonsNameTable(), "PER", "support\\!persons", 2465, 128},
        {data::ListFormatsTable(), "CFG", "Formats.FDB", 7265, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table.label));
        EXPECT_EQ(c.table.prefix, c.prefix);
        EXPECT_EQ(c.table.fileName, c.file);
        EXPECT_EQ(c.table.recordSize, c.bytes);
        EXPECT_EQ(c.table.fields.size(), c.fields);
    }
}

TEST(Layout, FieldsAtTheEdges) {
    struct Case {
        const rt::TableDesc& table;
        int number;
        const char* name;
        rt::FieldType type;
        int offset;
        int size;
    };
    const Case cases[] = {
        {data::PrescriptsTable(), 1, "PRE:DRUGNAMEASPRESCRIBED", rt::FieldType::String, 0, 60},
        {data::PrescriptsTable(), 7, "PRE:DATEFILLED", rt::FieldType::Date, 245, 4},
        {data::PrescriptsTable(), 8, "PRE:COST", rt::FieldType::Decimal, 249, 4},
        {data::PrescriptsTable(), 11, "PRE:NUMBER", rt::FieldType::Short, 293, 2},
        {data::PrescriptsTable(), 16, "PRE:NUMBERREFILLS", rt::FieldType::Real, 445, 8},
        {data::PrescriptsTable(), 22, "PRE:PRINTKEY", rt::FieldType::CString, 486, 120},
        {data::PharmacyTable(), 9, "PHA:WEBADDRESS", rt::FieldType::String, 226, 50},
        {data::BloodpreTable(), 2, "BLO:TIME", rt::FieldType::Time, 4, 4},
        {data::BloodpreTable(), 7, "BLO:PERSONNAME", rt::FieldType::String, 67, 35},
        {data::GlucoseTable(), 4, "GLU:READING", rt::FieldType::Short, 43, 2},
        {data::PersonsNameTable(), data::kPersonsGenderField, "PER:GENDER", rt::FieldType::String, 188, 1},
        {data::PersonsNameTable(), 10, "PER:EMAILADDRESS", rt::FieldType::CString, 189, 60},
        {data::PersonsNameTable(), 73, "PER:TIMEUPDATED", rt::FieldType::Time, 1104, 4},
        {data::PersonsNameTable(), data::kPersonsMaritalStatusField, "PER:MARITALSTATUS", rt::FieldType::String, 2395, 20},
        {data::PersonsNameTable(), 128, "PER:FIRSTNAME", rt::FieldType::String, 2445, 20},
        {data::ListFormatsTable(), 7, "CFG:FLAG", rt::FieldType::Byte, 96, 1},
        {data::ListFormatsTable(), 9, "CFG:VARLINE", rt::FieldType::String, 5217, 2048},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const rt::FieldDesc* f = c.table.field(c.number);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->name, c.name);
        EXPECT_EQ(f->type, c.type);
        EXPECT_EQ(f->offset, c.offset);
        EXPECT_EQ(f->size, c.size);
    }
    EXPECT_EQ(data::PrescriptsTable().field(8)->places, 2);
    EXPECT_EQ(data::PrescriptsTable().field(23), nullptr);
}

// Components as (field number, negative = descending).
std::vector<int> components(const rt::TableDesc& t, const char* key) {
    const int k = t.keyIndex(key);
    if (k < 0) return {};
    std::vector<int> out;
    for (const auto& c : t.keys[static_cast<std::size_t>(k)].components) out.push_back(c.descending ? -c.field : c.field);
    return out;
}

TEST(Layout, KeyComponents) {
    struct Case {
        const rt::TableDesc& table;
        const char* key;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {data::PrescriptsTable(), "PRE:printby", {22}},
        {data::PrescriptsTable(), "PRE:ByDoctor", {6, -20}},
        {data::PrescriptsTable(), "PRE:ByActive", {-20}},
        {data::PrescriptsTable(), "PRE:ByName", {1, -20, -7}},
        {data::PrescriptsTable(), "PRE:ByDate", {19}},
        {data::BloodpreTable(), "Blo:ByDate", {1, 2}},
        {data::GlucoseTable(), "Glu:byperson", {5}},
        {data::GlucoseTable(), "Glu:ByDate", {-1, 2}},
        {data::ListFormatsTable(), "CFG:KEY_MAIN", {1, 2, 3, 4, 5}},
    };
    for (const auto& c : cases) EXPECT_EQ(components(c.table, c.key), c.expected) << c.key;
}

TEST(Layout, KeyNamesAndAttributes) {
    const auto& pre = data::PrescriptsTable();
    const int printby = pre.keyIndex("PRE:printby");
    ASSERT_GE(printby, 0);
    EXPECT_EQ(pre.keys[static_cast<std::size_t>(printby)].declaredName, "PRE:PRINTBY");
    EXPECT_EQ(pre.keyIndex("pre:PRINTBY"), printby);
    EXPECT_EQ(data::GlucoseTable().keys[1].declaredName, "GLU:BYDATE");
    EXPECT_EQ(pre.keyIndex("PRE:NoSuchKey"), -1);

    // Every table key allows duplicates; only the list-format key is unique.
    for (const auto* t : data::declaredTables())
        for (const auto& k : t->keys) {
            EXPECT_TRUE(k.dup && k.opt && k.nocase) << k.registeredName;
            EXPECT_FALSE(k.components.empty()) << k.registeredName;
        }
    const auto& cfg = data::ListFormatsTable().keys.front();
    EXPECT_FALSE(cfg.dup);
    EXPECT_TRUE(cfg.opt && cfg.nocase);
}

TEST(Layout, Memos) {
    ASSERT_NE(data::PrescriptsTable().memo, nullptr);
    EXPECT_EQ(data::PrescriptsTable().memo->declaredName, "PRE:SPECIALINSTRUCTIONSNOTES");
    EXPECT_EQ(data::PrescriptsTable().memo->boundName, "PRE:SpecialInstructionsNotes");
    EXPECT_EQ(data::PrescriptsTable().memo->maxLength, 1000u);
    ASSERT_NE(data::PersonsNameTable().memo, nullptr);
    EXPECT_EQ(data::PersonsNameTable().memo->declaredName, "PER:OTHERCONDITIONS");
    EXPECT_EQ(data::PersonsNameTable().memo->boundName, "PER:OtherConditions");
    EXPECT_EQ(data::PersonsNameTable().memo->maxLength, 1000u);
    for (const auto* t : everyDescriptor()) {
        if (t->label != "Prescripts" && t->label != "PersonsName") {
            EXPECT_EQ(t->memo, nullptr) << t->label;
        }
    }
}

TEST(Layout, FieldByNameInAnyCase) {
    struct Case {
        const rt::TableDesc& table;
        const char* name;
        int number;  // 0: not found
    };
    const Case cases[] = {
        {data::PrescriptsTable(), "PRE:DrName", 6},
        {data::PrescriptsTable(), "pre:printkey", 22},
        {data::BloodpreTable(), "Blo:Date", 1},
        {data::GlucoseTable(), "glu:personname", 5},
        {data::PersonsNameTable(), "PER:MaritalStatus", 126},
        {data::ListFormatsTable(), "cfg:VarLine", 9},
        {data::PrescriptsTable(), "PRE:DRNAM", 0},
        {data::PrescriptsTable(), "DOC:DOCTORSNAME", 0},
    };
    for (const auto& c : cases) {
        const rt::FieldDesc* f = c.table.fieldByName(c.name);
        EXPECT_EQ(f ? f->number : 0, c.number) << c.name;
    }
}

}  // namespace
