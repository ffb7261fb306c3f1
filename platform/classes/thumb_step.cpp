#include "platform/classes/thumb_step.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "platform/runtime/field_access.h"

namespace cls {

void ThumbStep::Build(files::RecordView& view, const rt::FieldDesc* field) {
    field_ = field;
    first_ = last_ = 0;
    if (!field_) return;
    void* buffer = view.file().buffer();
    if (view.reset() == 0 && view.next() == 0) first_ = ValueOf(buffer);
    if (view.resetToEnd() == 0 && view.previous() == 0) last_ = ValueOf(buffer);
}

int ThumbStep::ThumbOf(const void* record) const {
    if (!field_ || first_ == last_) return 0;
    const double t = (ValueOf(record) - first_) / (last_ - first_);
    return static_cast<int>(std::lround(std::clamp(t, 0.0, 1.0) * 100));
}

void ThumbStep::SetBufferKey(int thumb, files::TableFile& file) const {
    rt::clearRecord(file.desc(), file.buffer());
    if (!field_) return;
    Store(first_ + (last_ - first_) * std::clamp(thumb, 0, 100) / 100.0, file.buffer());
}

namespace {
constexpr int kTextDigits = 4;
}

double TextThumbStep::ValueOf(const void* record) const {
    const std::string text = rt::fieldText(*field_, record);
    double v = 0, scale = 1;
    for (int i = 0; i < kTextDigits; ++i) {
        scale /= 256;
        const unsigned char c = i < static_cast<int>(text.size()) ? static_cast<unsigned char>(text[static_cast<std::size_t>(i)]) : 0;
        v += static_cast<unsigned char>(std::toupper(c)) * scale;
    }
    return v;
}

void TextThumbStep::Store(double value, void* record) const {
    std::string text;
    for (int i = 0; i < kTextDigits; ++i) {
        value *= 256;
        const int c = std::clamp(static_cast<int>(value), 0, 255);
        value -= c;
        if (c == 0) break;
        text += static_cast<char>(c);
    }
    rt::setFieldText(*field_, record, text);
}

double NumberThumbStep::ValueOf(const void* record) const { return rt::fieldNumber(*field_, record); }

void NumberThumbStep::Store(double value, void* record) const { rt::setFieldNumber(*field_, record, std::floor(value)); }

}  // namespace cls
