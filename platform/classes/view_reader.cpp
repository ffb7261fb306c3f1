#include "platform/classes/view_reader.h"

#include <algorithm>

#include "platform/classes/filter_terms.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/field_access.h"

namespace cls {

void ViewReader::SetFilter(std::function<bool()> keep, std::vector<files::FieldCondition> conditions) {
    filter_ = std::move(keep);
    conditions_ = std::move(conditions);
    auto apply = [this](files::RecordView& v) {
        v.setFilter(filter_);
        v.setConditions(conditions_);
    };
    for (auto& [key, v] : views_) apply(*v);
    if (sorted_) apply(*sorted_);
}

bool ViewReader::SetStandardFilter(std::string_view expression, std::string* error) {
    auto compiled = rt::Expression::Compile(expression, error);
    if (!compiled) return false;
    SetFilter([e = std::move(*compiled)] { return e.Test(); }, DatabaseConditionsOf(expression, file_));
    return true;
}

void ViewReader::NarrowPass(std::vector<files::FieldCondition> conditions) { narrowing_ = std::move(conditions); }

std::optional<std::vector<rt::KeyComponent>> ViewReader::ParseOrder(std::string_view order, const rt::TableDesc& table,
                                                                    std::string* error) {
    std::vector<rt::KeyComponent> fields;
    std::size_t i = 0;
    while (i < order.size()) {
        if (order[i] == ' ' || order[i] == ',') {
            ++i;
            continue;
        }
        bool descending = false;
        if (order[i] == '+' || order[i] == '-') descending = order[i++] == '-';
        const std::size_t end = std::min(order.find_first_of(" ,", i), order.size());
        const std::string_view name = order.substr(i, end - i);
        const rt::FieldDesc* f = table.fieldByName(name);
        if (!f) {
            if (error)
                *error = "The order \"" + std::string(order) + "\" names no field \"" + std::string(name) + "\" of " +
                         std::string(table.label) + ".";
            return std::nullopt;
        }
        fields.push_back({f->number, descending});
        i = end;
    }
    return fields;
}

bool ViewReader::AppendOrder(std::string_view order, std::string* error) {
    auto fields = ParseOrder(order, file_.desc(), error);
    if (!fields) return false;
    appended_ = std::move(*fields);
    return true;
}

void ViewReader::LimitOrder(const rt::FieldDesc& field) {
    const void* buffer = file_.buffer();
    switch (field.type) {
        case rt::FieldType::String: case rt::FieldType::CString: range_ = rt::fieldText(field, buffer); break;
        case rt::FieldType::Real: case rt::FieldType::Decimal: range_ = rt::fieldNumber(field, buffer); break;
        default: range_ = static_cast<std::int64_t>(rt::fieldNumber(field, buffer)); break;
    }
    for (auto& [key, v] : views_) v->setRange(*range_, *range_);
    if (sorted_) sorted_->setRange(*range_, *range_);
}

void ViewReader::openFile() {
    // The table opens at its first read (a group opens it lazily).
    if (file_.isOpen()) return;
    if (accessor_) accessor_->OpenFile();
    else file_.open();
}

std::unique_ptr<files::RecordView> ViewReader::makeView(int key) {
    openFile();
    auto v = std::make_unique<files::RecordView>(file_, key);
    if (filter_) v->setFilter(filter_);
    if (!conditions_.empty()) v->setConditions(conditions_);
    if (range_) v->setRange(*range_, *range_);
    return v;
}

files::RecordView& ViewReader::UseOrder(int key) {
    key_ = key;
    auto& v = views_[key];
    if (!v) v = makeView(key);
    else openFile();
    return *v;
}

files::RecordView& ViewReader::UseSortedOrder(int key, std::vector<rt::KeyComponent> by) {
    sorted_ = makeView(key);
    sorted_->setSortOrder(std::move(by));
    return *sorted_;
}

files::RecordView& ViewReader::view() { return UseOrder(key_); }

int ViewReader::Rewind() {
    pass_.reset();
    passBegun_ = passOver_ = false;
    if (!appended_.empty() || !narrowing_.empty()) {
        pass_ = makeView(key_);
        if (!appended_.empty()) {
            std::vector<rt::KeyComponent> by;
            if (key_ >= 0) by = file_.desc().keys[static_cast<std::size_t>(key_)].components;
            by.insert(by.end(), appended_.begin(), appended_.end());
            pass_->setSortOrder(std::move(by));
        }
        if (!narrowing_.empty()) {
            std::vector<files::FieldCondition> all = conditions_;
            all.insert(all.end(), narrowing_.begin(), narrowing_.end());
            pass_->setConditions(std::move(all));
        }
    }
    const int e = pass_ ? pass_->reset() : view().reset();
    return e == 0 ? 0 : ReportReadError(e);
}

int ViewReader::FetchNext() {
    if (passOver_) return files::kRecordNotAvailable;
    int e = pass_ ? pass_->next() : view().next();
    if (e == files::kRecordNotAvailable && !passBegun_ && !narrowing_.empty()) {
        // Nothing the consumer acts on: the view's first record alone, when it has one.
        e = view().reset();
        if (e == 0) e = view().next();
        passOver_ = e == 0;
    }
    passBegun_ = true;
    if (e == 0 || e == files::kRecordNotAvailable) return e;
    return ReportReadError(e);
}

int ViewReader::PrepareNew() {
    if (!accessor_) {
        rt::clearRecord(file_.desc(), file_.buffer());
        if (file_.memo()) file_.memo()->clear();
        return 0;
    }
    return accessor_->PrimeRecord(false) == 0 ? 0 : kLevelNotify;
}

int ViewReader::ReportReadError(int error) {
    if (error == 0 || error == files::kRecordNotAvailable) return 0;
    // The accessor's reads report with the table's own message; a failing read is fatal for the list.
    if (accessor_ && accessor_->ERRORS) {
        accessor_->ERRORS->SetFile(accessor_->FILENAMEVALUE.empty() ? std::string(file_.desc().fileName) : accessor_->FILENAMEVALUE);
        accessor_->ERRORS->SetErrors(error, file_.lastErrorText());
        accessor_->ERRORS->Throw(1);
    }
    return kLevelFatal;
}

}  // namespace cls
