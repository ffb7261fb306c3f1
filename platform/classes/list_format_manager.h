#pragma once
// Keeps the column layouts a user gives a list box, one per format number, in the list-format file
// (one instance of the file per thread, shared by that thread's managers). The file's record is
// addressed by field number: 1 application, 2 procedure, 3 user, 4 control, 5 format number,
// 6 format name, 7 flag, 8 format string, 9 column fields; its first key is the unique
// (application, procedure, user, control, format number).
//
// A failure of the file never ends the program and never loses the list's layout: it is reported
// in the manager's message box and the list keeps the layout it has.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/error_reporter.h"
#include "platform/files/table_file.h"

namespace cls {

// What the manager needs of a list box.
class FormattedList {
public:
    virtual ~FormattedList() = default;
    virtual std::string Format() const = 0;  // the present layout, as the list reports it
    virtual void SetFormat(std::string_view format) = 0;
    // "?NAME[n]" for each column field the manager considers.
    virtual std::string ColumnFields(int fieldCount) const = 0;
    // Whether a stored layout fits the list's columns (a damaged or foreign layout does not).
    virtual bool Accepts(std::string_view format) const = 0;
    // The layout the list was designed with.
    virtual std::string DesignedFormat() const = 0;
};

class ListFormatManager {
public:
    static constexpr std::uint8_t kLocked = 1;
    static constexpr std::uint8_t kCurrent = 2;
    static constexpr int kCurrentFormatId = 1000;

    void Construct() { SAVEFORMAT = 0; }
    // Opens (creating when missing) the thread's list-format file. False when it cannot be used;
    // the manager then saves nothing.
    bool Initialise(FormattedList* list, int fieldCount, std::string_view appName, std::string_view procedure,
                    int userId, int controlId, files::TableFile* file, ErrorReporter* errors);
    void SetApplication(std::string_view settingsName, int checkOption, int sortOption, int savePosition);
    // Switches the list to format `id` named `name` (nothing when it is already current).
    void SetFormatValue(int id, std::string_view name);
    // The manager's popup entries, appended to `text` ('|' between items); lists put them after a
    // separator below their own.
    void AddMenuItems(std::string& text) const;
    // How many popup items stand before the manager's own.
    void SetMenuBase(int base) { menuBase_ = base; }
    // A chosen popup item, numbered over the whole popup (0: none). The manager acts only on its
    // own: "List &Formats" shows the list's stored layouts, "Format &Setup..." the present one's
    // columns. True when the item was one of its own.
    bool OnMenuChoice(int choice);
    // The two windows; each runs on the list's thread while the list waits.
    void ShowFormats();
    void ShowSetup();
    void TearDown();

    bool initialised() const { return initialised_; }

    std::uint8_t SAVEFORMAT = 0;

private:
    bool open();
    void report(int errorCode, int level);
    void keyFields(int id);
    int readFormat(int id);  // 0 found
    // Applies change to the record read and writes it; re-applied once over a newer version.
    bool update(const std::function<void()>& change);
    std::string text(int field) const;
    void setText(int field, std::string_view v);
    void setNumber(int field, double v);
    std::uint8_t flag() const;
    // The list's stored formats, in format-number order.
    struct Stored {
        int id = 0;
        std::string name, format;
        std::uint8_t flag = 0;
    };
    std::vector<Stored> storedFormats();
    // Stores `format` as the present layout of the current format, locked or not.
    void saveCurrent(const std::string& format, bool locked);
    void setLocked(int id, bool locked);
    void removeFormat(int id);
    void tell(std::string_view text);  // an information box captioned as the manager's

    FormattedList* list_ = nullptr;
    int fieldCount_ = 0;
    std::string app_, procedure_;
    int user_ = 1, control_ = 1;
    files::TableFile* file_ = nullptr;
    ErrorReporter* errors_ = nullptr;
    bool initialised_ = false;
    int current_ = 0;
    int menuBase_ = 0;
};

}  // namespace cls
