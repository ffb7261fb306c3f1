#include "platform/classes/list_format_manager.h"

#include <map>

#include "platform/runtime/codepage.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"

namespace cls {
namespace {

enum Field { kApp = 1, kProc, kUser, kCtrl, kFormatId, kFormatName, kFlag, kFormat, kVarLine };

// This thread's managers share one instance of the file and count their uses of it.
thread_local std::map<files::TableFile*, int> tUses;

}  // namespace

std::string ListFormatManager::text(int field) const {
    return rt::fieldText(*file_->desc().field(field), file_->buffer());
}
void ListFormatManager::setText(int field, std::string_view v) { rt::setFieldText(*file_->desc().field(field), file_->buffer(), v); }
void ListFormatManager::setNumber(int field, double v) { rt::setFieldNumber(*file_->desc().field(field), file_->buffer(), v); }
std::uint8_t ListFormatManager::flag() const {
    return static_cast<std::uint8_t>(rt::fieldNumber(*file_->desc().field(kFlag), file_->buffer()));
}

void ListFormatManager::report(int errorCode, int level) {
    // Opened for reading only (a read-only folder, which the table's own message has told the user
    // of): layouts apply but cannot be kept, and each switch of tab need not say so again.
    if (errorCode == files::kReadOnlyFile && file_->isReadOnly()) return;
    // The file's own cause of the error follows, naming the file, when the error was the file's.
    const std::string cause = errorCode == file_->lastError() ? file_->lastErrorCause() : std::string();
    tell("An error occured: " + files::errorText(errorCode) + ".|Error level:" + std::to_string(level) +
         (cause.empty() ? std::string() : "|" + cause));
}

bool ListFormatManager::open() {
    auto& uses = tUses[file_];
    if (uses > 0 || file_->isOpen()) {
        ++uses;
        return true;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        int e = file_->open(files::OpenMode::SharedReadWrite);
        if (e == 0 || e == files::kFileAlreadyOpen) {
            ++uses;
            return true;
        }
        if (e == files::kFileNotFound || e == files::kPathNotFound) {
            if (file_->create() != 0) {
                report(file_->lastError(), 2);
                return false;
            }
            continue;
        }
        // No write access (a read-only folder): the stored layouts still apply; the table's own
        // read-only message tells the user, and a layout that cannot be saved says why.
        if (e == files::kAccessDenied && file_->open(files::OpenMode::ReadOnly) == 0) {
            ++uses;
            return true;
        }
        if (e == files::kInvalidKeyFile) {
            if (file_->buildKeys() != 0) {
                report(file_->lastError(), 1);
                return false;
            }
            continue;
        }
        report(e, 3);
        return false;
    }
    return false;
}

bool ListFormatManager::Initialise(FormattedList* list, int fieldCount, std::string_view appName,
                                   std::string_view procedure, int userId, int controlId, files::TableFile* file,
                                   ErrorReporter* errors) {
    list_ = list;
    fieldCount_ = fieldCount;
    app_ = appName;
    procedure_ = procedure;
    user_ = userId;
    control_ = controlId;
    file_ = file;
    errors_ = errors;
    current_ = 0;
    initialised_ = list_ && file_ && open();
    return initialised_;
}

void ListFormatManager::SetApplication(std::string_view, int, int, int) {}

void ListFormatManager::AddMenuItems(std::string& text) const {
    if (!text.empty()) text += '|';
    text += "List &Formats|Format &Setup...";
}

bool ListFormatManager::OnMenuChoice(int choice) {
    if (!initialised_) return false;
    switch (choice - menuBase_) {
        case 1: ShowFormats(); return true;
        case 2: ShowSetup(); return true;
        default: return false;
    }
}

void ListFormatManager::keyFields(int id) {
    rt::clearRecord(file_->desc(), file_->buffer());
    setText(kApp, app_);
    setText(kProc, procedure_);
    setNumber(kUser, user_);
    setNumber(kCtrl, control_);
    setNumber(kFormatId, id);
}

int ListFormatManager::readFormat(int id) {
    keyFields(id);
    return file_->get(0);
}

bool ListFormatManager::update(const std::function<void()>& change) {
    change();
    int e = file_->put();
    if (e == files::kRecordChanged) {
        // Another thread wrote the same list's record meanwhile: the buffer holds its version now,
        // and this list's change is made over it.
        change();
        e = file_->put();
    }
    if (e == 0) return true;
    report(e, 15);
    return false;
}

void ListFormatManager::SetFormatValue(int id, std::string_view name) {
    if (!initialised_ || id == current_) return;
    const std::string present = list_->Format();
    // 1. The format being left keeps the layout the user gave it.
    if (current_ != 0 && readFormat(current_) == 0) {
        update([&] {
            const std::uint8_t f = flag();
            if (SAVEFORMAT && !(f & kLocked)) setText(kFormat, present);
            setNumber(kFlag, f & ~kCurrent);
        });
    }
    // 2. The new format's record, made from the present layout when missing.
    std::string stored;
    int e = readFormat(id);
    if (e == 0) {
        update([&] {
            setNumber(kFlag, flag() | kCurrent);
            if (text(kFormat).empty()) {
                setText(kFormat, present);
                setText(kVarLine, list_->ColumnFields(fieldCount_));
            }
        });
        stored = text(kFormat);
    } else {
        keyFields(id);
        setText(kFormatName, name.empty() ? "Format_" + std::to_string(id) : std::string(name));
        setText(kFormat, present);
        setText(kVarLine, list_->ColumnFields(fieldCount_));
        setNumber(kFlag, kCurrent);
        e = file_->add();
        if (e == files::kDuplicateKey && readFormat(id) == 0) {
            // Another thread added it first: take its record over instead.
            update([&] { setNumber(kFlag, flag() | kCurrent); });
            stored = text(kFormat);
        } else if (e != 0) {
            report(e, 15);
        }
        if (stored.empty()) stored = present;
    }
    // 3. Apply the stored layout only when it fits the list's columns.
    if (!stored.empty() && stored != present && list_->Accepts(stored)) list_->SetFormat(stored);
    current_ = id;
}

std::vector<ListFormatManager::Stored> ListFormatManager::storedFormats() {
    std::vector<Stored> out;
    keyFields(0);
    if (file_->setKeyValue(0) != 0) return out;
    while (file_->next() == 0) {
        if (rt::compareNoCase(text(kApp), app_) != 0 || rt::compareNoCase(text(kProc), procedure_) != 0 ||
            static_cast<int>(rt::fieldNumber(*file_->desc().field(kUser), file_->buffer())) != user_ ||
            static_cast<int>(rt::fieldNumber(*file_->desc().field(kCtrl), file_->buffer())) != control_)
            break;
        out.push_back({static_cast<int>(rt::fieldNumber(*file_->desc().field(kFormatId), file_->buffer())),
                       text(kFormatName), text(kFormat), flag()});
    }
    return out;
}

void ListFormatManager::saveCurrent(const std::string& format, bool locked) {
    if (!initialised_ || current_ == 0) return;
    auto change = [&] {
        setText(kFormat, format);
        setNumber(kFlag, (flag() & ~kLocked) | (locked ? kLocked : 0) | kCurrent);
    };
    if (readFormat(current_) == 0) {
        update(change);
        return;
    }
    // Its record went (another window removed it): made again with what the user set up.
    keyFields(current_);
    setText(kFormatName, "Format_" + std::to_string(current_));
    setText(kVarLine, list_->ColumnFields(fieldCount_));
    change();
    if (const int e = file_->add(); e != 0) report(e, 15);
}

void ListFormatManager::setLocked(int id, bool locked) {
    if (readFormat(id) == 0)
        update([&] { setNumber(kFlag, (flag() & ~kLocked) | (locked ? kLocked : 0)); });
}

void ListFormatManager::removeFormat(int id) {
    if (readFormat(id) != 0) return;  // gone already
    if (const int e = file_->erase(); e != 0 && e != files::kRecordNotFound) report(e, 15);
}

void ListFormatManager::tell(std::string_view message) {
    if (!errors_) return;
    MessageBoxRequest r;
    r.caption = "List Format Manager";
    r.icon = MessageIcon::Information;
    r.buttons = kButtonOk;
    r.defaultButton = kButtonOk;
    r.text = std::string(message);
    errors_->Ask(r);
}

void ListFormatManager::TearDown() {
    if (!initialised_) return;
    if (SAVEFORMAT && current_ != 0) {
        const std::string present = list_->Format();
        if (readFormat(current_) == 0) {
            if (!(flag() & kLocked)) {
                update([&] { setText(kFormat, present); });
            } else if (text(kFormat) != rt::rtrim(present)) {
                const int id = kCurrentFormatId;
                if (readFormat(id) == 0) {
                    update([&] { setText(kFormat, present); });
                } else {
                    keyFields(id);
                    setText(kFormatName, "Current Format");
                    setText(kFormat, present);
                    setText(kVarLine, list_->ColumnFields(fieldCount_));
                    if (const int e = file_->add(); e != 0 && e != files::kDuplicateKey) report(e, 15);
                }
            }
        }
    }
    auto it = tUses.find(file_);
    if (it != tUses.end() && --it->second <= 0) {
        tUses.erase(it);
        file_->close();
    }
    initialised_ = false;
    current_ = 0;
}

}  // namespace cls
