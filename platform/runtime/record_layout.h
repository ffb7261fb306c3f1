#pragma once
// Descriptions of record layouts, keys and memos: what a table hands the file driver, and what
// generic code (list columns, recall fields, field checks, expression binding) reads fields by.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

enum class FieldType : std::uint8_t {
    String,   // blank-padded single-byte text
    CString,  // zero-terminated single-byte text
    Byte,     // unsigned 8-bit
    Short,    // signed 16-bit
    Long,     // signed 32-bit
    Real,     // IEEE double
    Decimal,  // packed decimal (rt::PackedDecimal), `places` decimal places
    Date,     // rt::DateField
    Time,     // rt::TimeField
};

struct FieldDesc {
    int number;              // 1-based position in the record
    std::string_view name;   // "PRE:DRUGNAMEASPRESCRIBED"
    FieldType type;
    std::uint16_t size;      // bytes
    std::uint16_t offset;    // from the start of the record
    std::uint8_t places = 0; // decimal places of a Decimal
};

struct KeyComponent {
    int field;               // field number
    bool descending = false;
};

struct KeyDesc {
    std::string_view declaredName;    // "PRE:PRINTBY"
    std::string_view registeredName;  // "PRE:printby"
    std::vector<KeyComponent> components;
    bool dup = true;     // duplicates allowed (false: unique)
    bool opt = true;     // records whose components are all blank/zero are not in the key
    bool nocase = true;  // text compares without regard to case
};

struct MemoDesc {
    std::string_view declaredName;  // "PRE:SPECIALINSTRUCTIONSNOTES"
    std::string_view boundName;     // "PRE:SpecialInstructionsNotes"
    std::size_t maxLength = 0;
};

// A total the database keeps up to date itself, in the same transaction as every write to the
// table (by this program or any other writer): numeric field `sumField` added up over the records
// whose text field `whereField` holds exactly `equals`. Reading it costs one row, not a scan.
struct KeptSumDesc {
    std::string_view name;  // "ActiveCost"
    int sumField;
    int whereField;
    std::string_view equals;
};

struct TableDesc {
    std::string_view label;      // "Prescripts"
    std::string_view prefix;     // "PRE"
    std::string_view fileName;   // "PRESCRIP" or "support\\!doctors"
    std::size_t recordSize = 0;
    std::span<const FieldDesc> fields;
    std::span<const KeyDesc> keys;
    const MemoDesc* memo = nullptr;  // nullptr: no memo
    std::span<const KeptSumDesc> keptSums = {};
    // Indexes kept only so that a view whose filter pins their leading field reads few rows: no
    // key of the table's, never an order of its own (opt is ignored: every record is in them).
    std::span<const KeyDesc> lookups = {};

    const FieldDesc* field(int number) const {
        return number >= 1 && static_cast<std::size_t>(number) <= fields.size() ? &fields[number - 1] : nullptr;
    }
    // Case-insensitive lookup by the field's name ("PRE:DrNAME" finds PRE:DRNAME).
    const FieldDesc* fieldByName(std::string_view name) const;
    // Key by registered or declared name, any case; -1 when unknown.
    int keyIndex(std::string_view name) const;
    // The kept sum of that name (exact case), nullptr when none.
    const KeptSumDesc* keptSum(std::string_view name) const {
        for (const auto& k : keptSums)
            if (k.name == name) return &k;
        return nullptr;
    }
};

// Checks a description against itself: offsets contiguous, sizes summing to recordSize, numbers
// 1..n, key components naming existing fields. Returns an empty string when sound, else what is wrong.
std::string validateLayout(const TableDesc& desc);

}  // namespace rt
