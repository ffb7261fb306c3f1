#pragma once
// Opens, closes and changes one table through its accessor. Removals are framed in a transaction.
#include <cstdint>
#include <vector>

#include "platform/classes/table_accessor.h"

namespace cls {

class TableGroup {
public:
    TableGroup() = default;
    virtual ~TableGroup() = default;
    TableGroup(const TableGroup&) = delete;
    TableGroup& operator=(const TableGroup&) = delete;

    void Construct() { DEFEREDRELATIONSDONE = 0; }
    void Initialise(TableAccessor* accessor, std::uint8_t useLogout);

    // --- virtual operations, in slot order ---
    virtual int UndoAutoNumber();
    virtual void CloseGroup();
    // Removes the current record of the table (asking first with message 11 when ask is set).
    // 0 removed; 4 the user said No; 5 failed and reported.
    virtual int RemoveRecord(bool ask);
    virtual int CascadeCheck() { return 0; }
    virtual void TearDown();
    virtual int OpenGroup();
    virtual int OpenTables() { return OpenGroup(); }
    virtual void ToggleQuickScan() {}
    // Writes the buffer over the current record (field checks first): see TableAccessor::TryUpdate.
    virtual int WriteChanges();
    virtual int RelationPass() { return 0; }
    virtual void DeclareRelations() {}

    // Removes the record at pos, in a transaction; no question asked. 0 removed,
    // kRecordNotFound when it was gone already, 5 reported failure.
    int RemoveAt(files::Position pos);

    TableAccessor* ME = nullptr;
    std::vector<TableGroup*> RELATIONS;
    std::uint8_t USELOGOUT = 0;
    std::int16_t LOGOUTTIMEOUT = 0;
    std::uint8_t DEFEREDRELATIONSDONE = 0;

private:
    int removeFramed(files::Position pos, bool retryWithMessage);
};

}  // namespace cls
