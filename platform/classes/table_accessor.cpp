#include "platform/classes/table_accessor.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/classes/table_group.h"
#include "platform/files/provisional.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/field_access.h"

namespace cls {

TableAccessor::~TableAccessor() = default;

std::string TableAccessor::ErrorText(int code) { return files::errorText(code) + " (" + std::to_string(code) + ")"; }

std::string TableAccessor::FileErrorText(int code) const {
    const std::string cause = FILE && FILE->lastError() == code ? FILE->lastErrorCause() : std::string();
    return cause.empty() ? ErrorText(code) : ErrorText(code) + "; " + cause;
}

void TableAccessor::setErrorFromFile() {
    if (!ERRORS || !FILE) return;
    const int code = FILE->lastError();
    ERRORS->SetErrors(code, FileErrorText(code));
}

int TableAccessor::reportFile(int number) {
    if (!ERRORS) return kAnswerOk;
    setErrorFromFile();
    return ERRORS->ThrowFile(number, FILENAMEVALUE);
}

// ---------------------------------------------------------------- names

void TableAccessor::BindNames() {
    if (!BUFFER.desc || !BUFFER.address) return;
    for (const auto& f : BUFFER.desc->fields) rt::BindField(f.name, f, BUFFER.address);
}

// ---------------------------------------------------------------- life cycle

void TableAccessor::Initialise() {
    opens_ = 0;
    fileOpensByMe_ = 0;
    INUSEFILE = 0;
    HASAUTOINC = 0;
    AUTOINCDONE = 0;
    LAZYOPEN = 1;
    autoPos_ = {};
}

void TableAccessor::Attach(files::TableFile* file, ErrorReporter* errors) {
    FILE = file;
    ERRORS = errors;
    KEYS.clear();
    snapshots_.clear();
    INITIALIZED = 1;
}

void TableAccessor::RegisterKey(std::string_view name, bool autoNumber) {
    RegisteredKey k;
    k.name = std::string(name.substr(0, 80));
    k.index = BUFFER.desc ? BUFFER.desc->keyIndex(name) : -1;
    k.autoNumber = autoNumber;
    if (autoNumber) HASAUTOINC = 1;
    KEYS.push_back(std::move(k));
}

int TableAccessor::UseTable(int useType) {
    if (useType == kUseInitialise) return INITIALIZED ? 0 : kLevelFatal;
    if (!INITIALIZED || !FILE) return kLevelFatal;
    return OpenFile();
}

int TableAccessor::Open() {
    if (UseTable(kUseInitialise) != 0) return kLevelFatal;
    ++opens_;
    BindNames();
    if (!LAZYOPEN) return OpenFile();
    return 0;
}

void TableAccessor::Close() {
    if (opens_ > 0) --opens_;
    if (opens_ == 0 && fileOpensByMe_ && FILE && FILE->isOpen()) {
        FILE->close();
        fileOpensByMe_ = 0;
    }
}

int TableAccessor::OpenFile() {
    if (!FILE) return kLevelFatal;
    if (FILE->isOpen()) return 0;
    int e = FILE->open(files::OpenMode::SharedReadWrite);
    if ((e == files::kFileNotFound || e == files::kPathNotFound) && CREATE) {
        if (FILE->create() != 0) {
            reportFile(12);
            return kLevelFatal;
        }
        e = FILE->open(files::OpenMode::SharedReadWrite);
    }
    if (e == files::kInvalidKeyFile && FILE->buildKeys() == 0) e = FILE->open(files::OpenMode::SharedReadWrite);
    if (e == files::kAccessDenied) {
        // A newer file stays newer: no wait for it, and the user is told why it is read-only.
        if (!FILE->lastErrorIsNewerFile()) {
            FILE->sendOption("Recover=" + std::to_string(LOCKRECOVER));
            e = FILE->open(files::OpenMode::SharedReadWrite);
        }
        if (e == files::kAccessDenied) {
            if (FILE->lastErrorIsNewerFile()) {
                if (ERRORS) {
                    setErrorFromFile();
                    ERRORS->ThrowText(2, FILE->lastErrorCause());
                }
            } else {
                reportFile(2);
            }
            e = FILE->open(files::OpenMode::ReadOnly);
        }
    }
    if (e != 0) {
        reportFile(26);
        return kLevelFatal;
    }
    fileOpensByMe_ = 1;
    // Records an earlier run added for a form it never completed (it was killed, the machine
    // stopped) go; a failed sweep is tried again at the next open.
    if (HASAUTOINC && !FILE->isReadOnly()) files::sweepProvisional(*FILE);
    return 0;
}

void TableAccessor::TearDown() {
    while (opens_ > 0) Close();
    if (fileOpensByMe_ && FILE && FILE->isOpen()) FILE->close();
    fileOpensByMe_ = 0;
    if (BUFFER.address) rt::UnbindRecord(BUFFER.address);
    KEYS.clear();
    snapshots_.clear();
    INITIALIZED = 0;
}

// ---------------------------------------------------------------- buffer

void TableAccessor::ClearBuffer() {
    if (BUFFER.desc && BUFFER.address) rt::clearRecord(*BUFFER.desc, BUFFER.address);
    if (BUFFER.memo) BUFFER.memo->clear();
}

int TableAccessor::SnapshotBuffer() {
    Snapshot s;
    s.bytes.assign(static_cast<const char*>(BUFFER.address), BUFFER.size);
    if (BUFFER.memo) s.memo = *BUFFER.memo;
    const int id = nextSnapshot_++;
    snapshots_.emplace(id, std::move(s));
    return id;
}

void TableAccessor::RevertBuffer(int id) {
    auto it = snapshots_.find(id);
    if (it == snapshots_.end()) return;
    std::memcpy(BUFFER.address, it->second.bytes.data(), BUFFER.size);
    if (BUFFER.memo) *BUFFER.memo = it->second.memo;
}

bool TableAccessor::SameAsSaved(int id) const {
    auto it = snapshots_.find(id);
    if (it == snapshots_.end()) return false;
    if (std::memcmp(BUFFER.address, it->second.bytes.data(), BUFFER.size) != 0) return false;
    return !BUFFER.memo || *BUFFER.memo == it->second.memo;
}

void TableAccessor::FreeSnapshot(int id) { snapshots_.erase(id); }

// ---------------------------------------------------------------- priming and numbering

int TableAccessor::PrimeRecord(bool keepBuffer) {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    if (!keepBuffer) ClearBuffer();
    PrimeNewRecord();
    if (HASAUTOINC) {
        AUTOINCDONE = 0;
        autoPos_ = {};
        return PrepareNewRecord(true);
    }
    return 0;
}

std::string TableAccessor::NextNumberText(std::string_view last, std::size_t width) {
    double v = rt::leadingNumber(last) + 1.0;
    // The largest whole number whose digits fit the field (one byte is the CSTRING's zero).
    const std::size_t room = width > 1 ? width - 1 : 1;
    if (!std::isfinite(v)) v = v < 0 ? -1e300 : 1e300;
    v = std::trunc(v);
    std::string digits;
    if (std::fabs(v) < 9e18) {
        digits = std::to_string(static_cast<long long>(v));
    } else {
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.0f", v);
        digits = buf;
    }
    if (digits.size() > room) digits = v < 0 ? "-" + std::string(room - 1, '9') : std::string(room, '9');
    return digits;
}

int TableAccessor::addAutoNumbered() {
    const int e = files::addProvisional(*FILE);
    if (e == 0) {
        autoPos_ = FILE->position();
        autoVersion_ = FILE->version();
    }
    return e;
}

int TableAccessor::PrepareNewRecord(bool messages) {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    if (!HASAUTOINC || AUTOINCDONE) return 0;
    int attempts = 0;
    for (;;) {
        std::string keyName;
        for (const auto& k : KEYS) {
            if (!k.autoNumber || k.index < 0) continue;
            const rt::KeyDesc& kd = BUFFER.desc->keys[static_cast<std::size_t>(k.index)];
            keyName = k.name.empty() ? std::string(kd.declaredName) : k.name;
            if (ERRORS) ERRORS->SetKey(keyName);
            const rt::FieldDesc* field = BUFFER.desc->field(kd.components.front().field);
            const std::string snapshot(static_cast<const char*>(BUFFER.address), BUFFER.size);
            // The highest value is the last record of the key; the memo in the buffer stays untouched.
            FILE->setReadMemo(false);
            int e = FILE->setKeyOrder(k.index);
            if (e == 0) e = FILE->previous();
            FILE->setReadMemo(true);
            std::string number;
            if (e == 0) {
                number = NextNumberText(rt::fieldText(*field, BUFFER.address), field->size);
            } else if (e == files::kRecordNotAvailable || e == files::kRecordNotFound) {
                number = "1";
            } else {
                std::memcpy(BUFFER.address, snapshot.data(), BUFFER.size);
                if (messages) reportFile(1);
                return kLevelNotify;  // never success, whatever the message box answered
            }
            std::memcpy(BUFFER.address, snapshot.data(), BUFFER.size);
            rt::setFieldText(*field, BUFFER.address, number);
        }
        const int e = addAutoNumbered();
        if (e == 0) {
            AUTOINCDONE = 1;
            return 0;
        }
        if (++attempts < 3) continue;
        if (!messages || !ERRORS) return kLevelNotify;
        ERRORS->SetKey(keyName);
        if (reportFile(35) == kAnswerYes) {
            attempts = 0;
            continue;
        }
        return kLevelNotify;
    }
}

// ---------------------------------------------------------------- checks

int TableAccessor::CheckFieldValue(int fieldNumber, bool report) {
    if (ALIASEDFILE) return ALIASEDFILE->CheckFieldValue(fieldNumber, report);
    return 0;
}

int TableAccessor::CheckFieldRange(int first, int last) {
    for (int n = first; n <= last; ++n) {
        const int level = CheckFieldValue(n, true);
        if (level != 0) return level;
    }
    return 0;
}

int TableAccessor::CheckRecord() {
    if (!BUFFER.desc) return 0;
    return CheckFieldRange(1, static_cast<int>(BUFFER.desc->fields.size()));
}

// ---------------------------------------------------------------- writing

int TableAccessor::InsertRecord() {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    if (CheckRecord() != 0) return kLevelNotify;
    int e = 0;
    if (HASAUTOINC && AUTOINCDONE) {
        // Over the record the auto-number step added, found by its position: a read elsewhere on
        // this thread may have moved the file's current record since.
        const int mine = SnapshotBuffer();
        e = files::settleProvisional(*FILE, autoPos_, autoVersion_);
        if (e == files::kRecordChanged) {
            RevertBuffer(mine);
            e = files::settleProvisional(*FILE, autoPos_, FILE->version());
        } else if (e == files::kRecordNotFound) {
            RevertBuffer(mine);  // removed meanwhile: the record is added afresh
            e = FILE->add();
        }
        if (e != 0) RevertBuffer(mine);
        FreeSnapshot(mine);
    } else if (HASAUTOINC) {
        if (PrepareNewRecord(true) != 0) return kLevelNotify;
    } else {
        e = FILE->add();
    }
    if (e == 0) {
        AUTOINCDONE = 0;
        autoPos_ = {};
        return 0;
    }
    if (e == files::kDuplicateKey) {
        std::string key;
        for (const auto& k : BUFFER.desc->keys)
            if (!k.dup) {
                key = std::string(k.registeredName);
                break;
            }
        setErrorFromFile();
        if (ERRORS) ERRORS->ThrowMessage(15, key);
        return kLevelNotify;
    }
    reportFile(4);
    return kLevelNotify;  // a failed insert is never reported as success
}

int TableAccessor::UndoAutoNumber(TableGroup& group) {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    if (!HASAUTOINC || !AUTOINCDONE) return 0;
    const int r = group.RemoveAt(autoPos_);
    if (r == 0 || r == files::kRecordNotFound) {  // gone already counts as undone
        files::forgetProvisional(*FILE, autoPos_);
        AUTOINCDONE = 0;
        autoPos_ = {};
        return 0;
    }
    return r;
}

int TableAccessor::DeleteRow() {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    return FILE->erase();
}

int TableAccessor::TryUpdate() {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    if (CheckRecord() != 0) return kLevelRefused;
    return FILE->put();
}

int TableAccessor::TryUpdateAt(files::Position pos, std::int64_t version) {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    if (CheckRecord() != 0) return kLevelRefused;
    return FILE->putAt(pos, version);
}

// ---------------------------------------------------------------- reading

namespace {
bool quiet(int e) { return e == 0 || e == files::kRecordNotAvailable || e == files::kRecordNotFound; }
}  // namespace

int TableAccessor::readResult(int e) {
    if (quiet(e)) return e;
    reportFile(1);
    return kLevelNotify;
}

int TableAccessor::TryFetch(int key) {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    return readResult(FILE->get(key));
}

int TableAccessor::TrySetKey(int key) {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    return readResult(FILE->setKeyOrder(key));
}

int TableAccessor::TryNext() {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    return readResult(FILE->next());
}

int TableAccessor::TryPrevious() {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    return readResult(FILE->previous());
}

int TableAccessor::TryFetchAt(files::Position pos) {
    if (UseTable(kUseAccess) != 0) return kLevelFatal;
    return readResult(FILE->getAt(pos));
}

}  // namespace cls
