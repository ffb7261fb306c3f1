#pragma once
// Places a list's scroll thumb by the current row's key and reads a dragged thumb back as a key to
// seek. The estimate is proportional on the order's leading key field between the first and the
// last record of the view, read when the order is chosen (two seeks, whatever the table's size):
// a number field by its value, a text field by four characters after the beginning the first and
// last keys share (letters folded to capitals) read as a base-256 fraction. Uneven keys give an uneven thumb, never a wrong row: a
// dragged thumb seeks the nearest key and the list shows the rows there.
#include <cstddef>
#include <string>

#include "platform/files/record_view.h"

namespace cls {

class ThumbStep {
public:
    virtual ~ThumbStep() = default;
    // Reads the view's first and last keys (the view's cursor and the table's buffer move).
    void Build(files::RecordView& view, const rt::FieldDesc* field);
    // 0..100 for a record's bytes.
    int ThumbOf(const void* record) const;
    // How far a report that reads the view in order has come at a record: 1..100 from the first
    // key value to the last (in a descending order too), 50 when they are equal.
    int PercentOf(const void* record) const;
    // Puts the key of thumb position t (0..100) into the buffer's field (the rest cleared).
    void SetBufferKey(int thumb, files::TableFile& file) const;

protected:
    // Sees the first and the last record before their values are taken.
    virtual void Calibrate(const void* /*first*/, const void* /*last*/) {}
    virtual double ValueOf(const void* record) const = 0;
    virtual void Store(double value, void* record) const = 0;
    const rt::FieldDesc* field_ = nullptr;

private:
    double first_ = 0, last_ = 0;
};

class TextThumbStep final : public ThumbStep {
public:
    // Character-class flags and lookup mode as the lists give them; steps are always built from
    // the data (the only mode this program uses).
    void Initialise(int charFlags, int lookupMode) { flags_ = charFlags, mode_ = lookupMode; }

protected:
    void Calibrate(const void* first, const void* last) override;
    double ValueOf(const void* record) const override;
    void Store(double value, void* record) const override;

private:
    int flags_ = 0, mode_ = 3;
    std::size_t prefix_ = 0;  // characters the first and last keys share, passed over
    std::string prefixText_;
};

class NumberThumbStep final : public ThumbStep {
public:
    void Initialise(int flag) { flag_ = flag; }

protected:
    double ValueOf(const void* record) const override;
    void Store(double value, void* record) const override;

private:
    int flag_ = 1;
};

}  // namespace cls
