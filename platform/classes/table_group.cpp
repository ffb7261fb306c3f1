#include "platform/classes/table_group.h"

namespace cls {

void TableGroup::Initialise(TableAccessor* accessor, std::uint8_t useLogout) {
    ME = accessor;
    RELATIONS.clear();
    USELOGOUT = useLogout;
    LOGOUTTIMEOUT = 2;
}

int TableGroup::UndoAutoNumber() { return ME ? ME->UndoAutoNumber(*this) : kLevelFatal; }

void TableGroup::CloseGroup() {
    if (ME) ME->Close();
}

int TableGroup::OpenGroup() { return ME ? ME->Open() : kLevelFatal; }

void TableGroup::TearDown() { RELATIONS.clear(); }

int TableGroup::WriteChanges() { return ME ? ME->TryUpdate() : kLevelFatal; }

int TableGroup::RemoveRecord(bool ask) {
    if (!ME || ME->UseTable(kUseAccess) != 0) return kLevelFatal;
    if (ask && ME->ERRORS && ME->ERRORS->Throw(11) != kAnswerYes) return kAnswerNo;
    const files::Position pos = ME->FILE->position();
    return removeFramed(pos, true);
}

int TableGroup::RemoveAt(files::Position pos) {
    if (!ME || ME->UseTable(kUseAccess) != 0) return kLevelFatal;
    return removeFramed(pos, false);
}

int TableGroup::removeFramed(files::Position pos, bool retryWithMessage) {
    files::TableFile& file = *ME->FILE;
    ErrorReporter* errors = ME->ERRORS;
    auto note = [&](int code) {
        if (errors) errors->SetErrors(code, TableAccessor::ErrorText(code));
    };
    for (;;) {
        if (USELOGOUT) {
            const int b = file.begin(LOGOUTTIMEOUT);
            if (b != 0) {
                note(b);
                if (errors) errors->ThrowFile(24, ME->FILENAMEVALUE);
                return kLevelNotify;
            }
        }
        int e = pos.valid() ? file.eraseAt(pos) : files::kRecordNotAvailable;
        if (USELOGOUT) {
            if (e == 0) {
                e = file.commit();
                if (e != 0) file.rollback();
            } else {
                file.rollback();
            }
        }
        if (e == 0) return 0;
        if (!retryWithMessage) return e == files::kRecordNotFound ? e : kLevelNotify;
        note(e);
        if (errors && errors->ThrowFile(36, ME->FILENAMEVALUE) == kAnswerYes) continue;
        return kLevelNotify;
    }
}

}  // namespace cls
