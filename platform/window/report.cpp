#include "platform/window/report.h"

#include <algorithm>
#include <stdexcept>

#include "platform/runtime/codepage.h"
#include "platform/window/layout.h"

namespace wnd {
namespace {

const ReportLayout& layoutOf(std::string_view procedure, std::string_view label) {
    const ReportLayout* layout = FindReportLayout(procedure, label);
    if (!layout) throw std::runtime_error("no stored report " + std::string(label) + " for " + std::string(procedure));
    return *layout;
}

// A page-number string: a pattern picture with no variable of its own ("pPage <<#p").
bool isPageNumber(const ReportControl& c) { return !c.picture.empty() && (c.picture[0] == 'p' || c.picture[0] == 'P'); }

}  // namespace

Report::Report(std::string_view procedure, std::string_view label) : Report(layoutOf(procedure, label)) {}

Report::Report(const ReportLayout& layout) : layout_(layout) {
    int last = 0;
    for (const ReportBand& b : layout_.bands) {
        last = std::max(last, b.number);
        for (const ReportControl& c : b.controls) last = std::max(last, c.number);
    }
    binds_.resize(static_cast<std::size_t>(last));
}

const ReportBand* Report::band(int number) const {
    for (const ReportBand& b : layout_.bands)
        if (b.number == number) return &b;
    return nullptr;
}

ReportControl* Report::control(int number) {
    for (ReportBand& b : layout_.bands)
        for (ReportControl& c : b.controls)
            if (c.number == number) return &c;
    return nullptr;
}

int Report::Find(std::string_view use) const {
    for (const ReportBand& b : layout_.bands) {
        if (!b.use.empty() && rt::compareNoCase(b.use, use) == 0) return b.number;
        for (const ReportControl& c : b.controls)
            if (!c.use.empty() && rt::compareNoCase(c.use, use) == 0) return c.number;
    }
    return 0;
}

int Report::Bind(std::string_view name, UseVariable var) {
    int count = 0;
    for (const ReportBand& b : layout_.bands)
        for (const ReportControl& c : b.controls)
            if (!c.var.empty() && rt::compareNoCase(c.var, name) == 0) {
                binds_[static_cast<std::size_t>(c.number - 1)] = {var, true};
                ++count;
            }
    return count;
}

int Report::BindRecord(const rt::TableDesc& table, void* record) {
    int count = 0;
    for (const ReportBand& b : layout_.bands)
        for (const ReportControl& c : b.controls) {
            const rt::FieldDesc* f = c.var.empty() ? nullptr : table.fieldByName(c.var);
            if (!f) {
                // "PRE:ACTIVE:2": a second control on the same field.
                const std::size_t colon = c.var.rfind(':');
                if (colon != std::string::npos && c.var.find(':') < colon) f = table.fieldByName(c.var.substr(0, colon));
            }
            if (!f) continue;
            binds_[static_cast<std::size_t>(c.number - 1)] = {UseVariable::Field(*f, record), true};
            ++count;
        }
    return count;
}

void Report::SetText(int number, std::string_view text) {
    if (ReportControl* c = control(number)) c->text = std::string(text);
}

std::string Report::Value(const ReportControl& c) const {
    const Binding& b = binds_[static_cast<std::size_t>(c.number - 1)];
    if (isPageNumber(c) && !b.bound) {
        std::string error;
        const auto p = rt::Picture::Parse(c.picture, &error);
        return p ? p->FormatNumber(static_cast<double>(pages_.size())) : std::to_string(pages_.size());
    }
    if (!b.bound) return c.text;
    std::string source = c.picture;
    if (source.empty()) {
        if (c.kind == ReportControl::Kind::Text) return b.use.Raw();  // a block prints its text whole
        source = b.use.DefaultPicture();
    }
    std::string error;
    const auto p = rt::Picture::Parse(source, &error);
    return p ? b.use.Format(*p) : b.use.Raw();
}

void Report::Place(const ReportBand& band, int x, int y) {
    Page& page = pages_.back();
    for (const ReportControl& c : band.controls) {
        PageItem item;
        item.at = {x + c.at.x, y + c.at.y, c.at.width, c.at.height};
        item.font = c.font;
        item.align = c.align;
        item.pen = c.pen;
        switch (c.kind) {
            case ReportControl::Kind::Line: item.kind = PageItem::Kind::Line; break;
            case ReportControl::Kind::Box: item.kind = PageItem::Kind::Box; break;
            case ReportControl::Kind::String: case ReportControl::Kind::Text:
                item.kind = PageItem::Kind::Text;
                item.wrap = c.kind == ReportControl::Kind::Text;
                item.text = rt::cp1252ToUtf8(Value(c));
                if (item.text.empty()) continue;
                break;
        }
        page.items.push_back(std::move(item));
    }
}

void Report::BeginPage() {
    pages_.emplace_back();
    pageOpen_ = true;
    detailOnPage_ = false;
    nextY_ = layout_.area.y;
    // The form lies behind everything; the header tops the page.
    for (const ReportBand& b : layout_.bands)
        if (b.kind == ReportBand::Kind::Form) Place(b, b.at.x, b.at.y);
    for (const ReportBand& b : layout_.bands)
        if (b.kind == ReportBand::Kind::Header) Place(b, b.at.x, b.at.y);
}

void Report::EndPage() {
    if (!pageOpen_) return;
    for (const ReportBand& b : layout_.bands)
        if (b.kind == ReportBand::Kind::Footer) Place(b, b.at.x, b.at.y);
    pageOpen_ = false;
}

void Report::PrintBand(int number) {
    const ReportBand* b = band(number);
    if (!b) return;
    if (b->kind != ReportBand::Kind::Detail) {
        if (!pageOpen_) BeginPage();
        Place(*b, b->at.x, b->at.y);
        return;
    }
    // A band that does not fit below the last one starts a page of its own; a band taller than
    // the whole area is printed whole at the top of its page.
    if (pageOpen_ && detailOnPage_ && nextY_ + b->at.height > layout_.area.y + layout_.area.height) EndPage();
    if (!pageOpen_) BeginPage();
    Place(*b, layout_.area.x + b->at.x, nextY_);
    nextY_ += b->at.height;
    detailOnPage_ = true;
}

std::shared_ptr<const PageSet> Report::Pages() const {
    auto set = std::make_shared<PageSet>();
    set->title = rt::cp1252ToUtf8(layout_.title);
    set->paperWidth = layout_.paperWidth;
    set->paperHeight = layout_.paperHeight;
    set->pages.assign(pages_.begin(), pages_.end() - (pageOpen_ ? 1 : 0));
    return set;
}

void Report::Discard() {
    pages_.clear();
    pageOpen_ = false;
}

}  // namespace wnd
