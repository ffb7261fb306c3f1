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
    const std::size_t size = view.file().desc().recordSize;
    const auto* buffer = static_cast<const char*>(view.file().buffer());
    std::string first, last;
    if (view.reset() == 0 && view.next() == 0) first.assign(buffer, size);
    if (view.resetToEnd() == 0 && view.previous() == 0) last.assign(buffer, size);
    if (first.empty() || last.empty()) return;
    Calibrate(first.data(), last.data());
    first_ = ValueOf(first.data());
    last_ = ValueOf(last.data());
}

int ThumbStep::ThumbOf(const void* record) const {
    if (!field_ || first_ == last_) return 0;
    const double t = (ValueOf(record) - first_) / (last_ - first_);
    return static_cast<int>(std::lround(std::clamp(t, 0.0, 1.0) * 100));
}

int ThumbStep::PercentOf(const void* record) const {
    if (!field_ || first_ == last_) return 50;
    return std::max(ThumbOf(record), 1);
}

void ThumbStep::SetBufferKey(int thumb, files::TableFile& file) const {
    rt::clearRecord(file.desc(), file.buffer());
    if (!field_) return;
    Store(first_ + (last_ - first_) * std::clamp(thumb, 0, 100) / 100.0, file.buffer());
}

namespace {
constexpr std::size_t kTextDigits = 4;
}

void TextThumbStep::Calibrate(const void* first, const void* last) {
    // Keys that share a beginning ("Dr. ...") are told apart by what follows it.
    const std::string a = rt::fieldText(*field_, first), b = rt::fieldText(*field_, last);
    prefix_ = 0;
    while (prefix_ < a.size() && prefix_ < b.size() &&
           std::toupper(static_cast<unsigned char>(a[prefix_])) == std::toupper(static_cast<unsigned char>(b[prefix_])))
        ++prefix_;
    if (prefix_ == a.size() && prefix_ == b.size()) prefix_ = 0;  // one key value: nothing to tell apart
    prefixText_ = a.substr(0, prefix_);
}

double TextThumbStep::ValueOf(const void* record) const {
    const std::string text = rt::fieldText(*field_, record);
    double v = 0, scale = 1;
    for (std::size_t i = 0; i < kTextDigits; ++i) {
        scale /= 256;
        const std::size_t at = prefix_ + i;
        const unsigned char c = at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
        v += static_cast<unsigned char>(std::toupper(c)) * scale;
    }
    return v;
}

void TextThumbStep::Store(double value, void* record) const {
    std::string text = prefixText_;
    for (std::size_t i = 0; i < kTextDigits; ++i) {
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
