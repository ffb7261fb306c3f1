#include "platform/window/report.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <climits>
#include <stdexcept>

#include "platform/runtime/codepage.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
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

// A control's extent down the band; a line may run upward from its point.
int topOf(const ReportControl& c) { return std::min(c.at.y, c.at.y + c.at.height); }
int bottomOf(const ReportControl& c) { return std::max(c.at.y, c.at.y + c.at.height); }

// A check box's square, at most this size (1/1000 in), and the gap before its text.
constexpr int kCheckSize = 130;
constexpr int kCheckGap = 60;

}  // namespace

Report::Report(std::string_view procedure, std::string_view label) : Report(layoutOf(procedure, label)) {}

Report::Report(const ReportLayout& layout) : layout_(layout) {
    int last = 0;
    for (const ReportBand& b : layout_.bands) {
        last = std::max(last, b.number);
        for (const ReportControl& c : b.controls) last = std::max(last, c.number);
    }
    binds_.resize(static_cast<std::size_t>(last));
    tallies_.resize(static_cast<std::size_t>(last));
    for (const ReportBand& b : layout_.bands)
        for (const ReportControl& c : b.controls) ResolvePicture(c);
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
                ResolvePicture(c);
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
            ResolvePicture(c);
            ++count;
        }
    return count;
}

void Report::SetText(int number, std::string_view text) {
    if (ReportControl* c = control(number)) c->text = std::string(text);
}

void Report::ShowPageNumber(int number) {
    if (const ReportControl* c = control(number)) {
        binds_[static_cast<std::size_t>(number - 1)].pageNumber = true;
        ResolvePicture(*c);
    }
}

double Report::Number(const ReportControl& c) const {
    const Binding& b = binds_[static_cast<std::size_t>(c.number - 1)];
    return b.bound ? rt::leadingNumber(b.use.Raw()) : 0;
}

void Report::CountDetail() {
    for (const ReportBand& band : layout_.bands)
        for (const ReportControl& c : band.controls) {
            if (c.total == ReportControl::Total::None) continue;
            Tally& t = tallies_[static_cast<std::size_t>(c.number - 1)];
            const double v = Number(c);
            if (++t.count == 1) {
                t.value = v;
                continue;
            }
            switch (c.total) {
                case ReportControl::Total::Minimum: t.value = std::min(t.value, v); break;
                case ReportControl::Total::Maximum: t.value = std::max(t.value, v); break;
                case ReportControl::Total::Sum: case ReportControl::Total::Average: t.value += v; break;
                default: break;
            }
        }
}

void Report::ResolvePicture(const ReportControl& c) {
    Binding& b = binds_[static_cast<std::size_t>(c.number - 1)];
    std::string source = c.picture;
    const bool figure = c.total != ReportControl::Total::None || b.pageNumber || (isPageNumber(c) && !b.bound);
    if (source.empty() && figure) source = "@n-14";
    // A text block without a picture prints its text whole.
    if (source.empty() && b.bound && c.kind != ReportControl::Kind::Text) source = b.use.DefaultPicture();
    std::string error;
    b.picture = source.empty() ? std::nullopt : rt::Picture::Parse(source, &error);
}

std::string Report::Value(const ReportControl& c) const {
    const Binding& b = binds_[static_cast<std::size_t>(c.number - 1)];
    auto formatted = [&b](double v) { return b.picture ? b.picture->FormatNumber(v) : std::to_string(v); };
    if (c.total != ReportControl::Total::None) {
        const Tally& t = tallies_[static_cast<std::size_t>(c.number - 1)];
        if (c.total == ReportControl::Total::Count) return formatted(static_cast<double>(t.count));
        if (c.total == ReportControl::Total::Average) return formatted(t.count ? t.value / static_cast<double>(t.count) : 0);
        return formatted(t.value);
    }
    if (b.pageNumber || (isPageNumber(c) && !b.bound)) return formatted(static_cast<double>(PageCount()));
    if (!b.bound) return c.text;
    return b.picture ? b.use.Format(*b.picture) : b.use.Raw();
}

void Report::Place(const ReportBand& band, int x, int y, int from, int to) {
    Page& page = open_;
    for (const ReportControl& c : band.controls) {
        if (topOf(c) < from || topOf(c) >= to) continue;
        PageItem item;
        item.at = {x + c.at.x, y + c.at.y, c.at.width, c.at.height};
        item.font = c.font;
        item.align = c.align;
        item.pen = c.pen;
        switch (c.kind) {
            case ReportControl::Kind::Line: item.kind = PageItem::Kind::Line; break;
            case ReportControl::Kind::Box: item.kind = PageItem::Kind::Box; break;
            case ReportControl::Kind::Check: PlaceCheck(page, c, x, y); continue;
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

void Report::PlaceCheck(Page& page, const ReportControl& c, int x, int y) {
    const Binding& b = binds_[static_cast<std::size_t>(c.number - 1)];
    const int size = std::min(c.at.height > 0 ? c.at.height : kCheckSize, kCheckSize);
    const int left = x + c.at.x, top = y + c.at.y + std::max(c.at.height - size, 0) / 2;
    PageItem box;
    box.kind = PageItem::Kind::Box;
    box.at = {left, top, size, size};
    box.pen = c.pen;
    page.items.push_back(box);
    if (b.bound && rt::rtrim(b.use.Raw()) == rt::rtrim(c.value) && !rt::rtrim(c.value).empty()) {
        // A tick drawn in two strokes, inside the square.
        PageItem stroke;
        stroke.kind = PageItem::Kind::Line;
        stroke.pen = std::max(c.pen, 15);
        stroke.at = {left + size * 2 / 10, top + size * 5 / 10, size * 2 / 10, size * 3 / 10};
        page.items.push_back(stroke);
        stroke.at = {left + size * 4 / 10, top + size * 8 / 10, size * 4 / 10, -size * 6 / 10};
        page.items.push_back(stroke);
    }
    if (c.text.empty()) return;
    PageItem label;
    label.kind = PageItem::Kind::Text;
    label.at = {left + size + kCheckGap, y + c.at.y, std::max(c.at.width - size - kCheckGap, 0), c.at.height};
    label.font = c.font;
    label.text = rt::cp1252ToUtf8(c.text);
    page.items.push_back(std::move(label));
}

void Report::BeginPage() {
    open_.items.clear();
    pageOpen_ = true;
    detailOnPage_ = false;
    nextY_ = layout_.area.y;
    // The form lies behind everything; the header tops the page.
    for (const ReportBand& b : layout_.bands)
        if (b.kind == ReportBand::Kind::Form) Place(b, b.at.x, b.at.y, INT_MIN, INT_MAX);
    for (const ReportBand& b : layout_.bands)
        if (b.kind == ReportBand::Kind::Header) Place(b, b.at.x, b.at.y, INT_MIN, INT_MAX);
}

int Report::DetailBottom() const {
    int bottom = layout_.area.y + layout_.area.height;
    for (const ReportBand& b : layout_.bands)
        if (b.kind == ReportBand::Kind::Footer && b.at.y > layout_.area.y) bottom = std::min(bottom, b.at.y);
    return bottom;
}

void Report::EndPage() {
    if (!pageOpen_) return;
    for (const ReportBand& b : layout_.bands)
        if (b.kind == ReportBand::Kind::Footer) Place(b, b.at.x, b.at.y, INT_MIN, INT_MAX);
    done_.push_back(open_);
    open_.items.clear();
    pageOpen_ = false;
}

void Report::PrintBand(int number) {
    const ReportBand* b = band(number);
    if (!b) return;
    if (b->kind != ReportBand::Kind::Detail) {
        if (!pageOpen_) BeginPage();
        Place(*b, b->at.x, b->at.y, INT_MIN, INT_MAX);
        return;
    }
    // A band that does not fit below the last one starts a page of its own; one taller than the
    // detail area but short enough for the paper is printed whole at the top of its page.
    if (pageOpen_ && detailOnPage_ && nextY_ + b->at.height > DetailBottom()) EndPage();
    if (!pageOpen_) BeginPage();
    CountDetail();
    detailOnPage_ = true;
    if (layout_.area.y + b->at.height > layout_.paperHeight) {
        PrintLongBand(*b);
        return;
    }
    Place(*b, layout_.area.x + b->at.x, nextY_, INT_MIN, INT_MAX);
    nextY_ += b->at.height;
}

void Report::PrintLongBand(const ReportBand& b) {
    int from = 0;  // where this page's piece begins, in band coordinates
    for (;;) {
        int cut = from + std::max(DetailBottom() - nextY_, 1);
        // A control the cut would run through goes whole onto the next page (unless it begins
        // the piece, as one taller than a page does).
        for (bool moved = true; moved;) {
            moved = false;
            for (const ReportControl& c : b.controls)
                if (topOf(c) > from && topOf(c) < cut && bottomOf(c) > cut) {
                    cut = topOf(c);
                    moved = true;
                }
        }
        Place(b, layout_.area.x + b.at.x, nextY_ - from, from, cut);
        const bool more = std::any_of(b.controls.begin(), b.controls.end(), [cut](const ReportControl& c) { return topOf(c) >= cut; });
        if (!more) {
            nextY_ += b.at.height - from;
            return;
        }
        EndPage();
        BeginPage();
        detailOnPage_ = true;
        from = cut;
    }
}

std::shared_ptr<const PageSet> Report::Pages() const {
    auto set = std::make_shared<PageSet>();
    set->title = rt::cp1252ToUtf8(layout_.title);
    set->paperWidth = layout_.paperWidth;
    set->paperHeight = layout_.paperHeight;
    set->pages = done_;
    set->pages.Seal();
    return set;
}

std::shared_ptr<const PageSet> Report::TakePages() {
    auto set = std::make_shared<PageSet>();
    set->title = rt::cp1252ToUtf8(layout_.title);
    set->paperWidth = layout_.paperWidth;
    set->paperHeight = layout_.paperHeight;
    set->pages = std::exchange(done_, PageList{});
    set->pages.Seal();
    return set;
}

void Report::Discard() {
    done_ = PageList{};
    open_.items.clear();
    pageOpen_ = false;
    std::fill(tallies_.begin(), tallies_.end(), Tally{});
}

}  // namespace wnd
