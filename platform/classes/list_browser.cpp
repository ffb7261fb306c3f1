#include "platform/classes/list_browser.h"

#include <cctype>

#include "platform/runtime/field_access.h"
#include "platform/window/list_format.h"
#include "platform/window/use_variable.h"

namespace cls {
namespace {

// Alert positions from here up hold keys that later arming replaces on purpose.
constexpr int kTopPositions = 249;

// Rows a list box of this height shows (dialog units; about ten a row under its header).
int rowsFor(int height) { return height > 20 ? (height - 12) / 10 : 12; }

}  // namespace

void ListBrowser::Initialise(int listControl, ViewReader& reader, ListQueue& queue, TableGroup* group,
                             WindowController& controller) {
    controller_ = &controller;
    window_ = &controller.window();
    reader_ = &reader;
    queue_ = &queue;
    group_ = group;
    list_ = listControl;
    // The presenter says how many rows the box shows once it has laid it out; until then the
    // layout's height gives an estimate.
    if (!visible_) visible_ = window().control(list_).rowsFit > 0 ? window().control(list_).rowsFit : rowsFor(window().control(list_).at.height);
    SELECTING = controller.REQUEST == kRequestSelect;
    POPUP.Init(window());
    controller.AddComponent(this);
}

void ListBrowser::SetVisibleRows(int rows) {
    visible_ = rows > 0 ? rows : 1;
    if (pager_) pager_->setVisible(visible_);
}

int ListBrowser::AddOrder(ThumbStep* step, int key) {
    orders_.push_back({step, key, nullptr});
    return orderCount();
}

void ListBrowser::SetSeeker(ListSeeker* seeker) {
    if (!orders_.empty()) orders_.back().seeker = seeker;
}

void ListBrowser::addColumn(const rt::FieldDesc& field) {
    Column c;
    c.field = &field;
    if (columns_.empty()) designed_ = window().control(list_).format;
    const auto designed = wnd::ParseListFormat(designed_);
    shownColumns_ = designed.size();
    std::string source;
    if (columns_.size() < designed.size()) source = designed[columns_.size()].picture;
    if (source.empty()) source = wnd::UseVariable::Field(field, nullptr).DefaultPicture();
    std::string error;
    c.picture = rt::Picture::Parse(source, &error);
    columns_.push_back(std::move(c));
}

std::string ListBrowser::formatted(const Column& c, const std::string& record) const {
    if (!c.picture) return rt::fieldText(*c.field, record.data());
    std::string bytes = record;  // a use variable formats from a buffer it may write
    return wnd::UseVariable::Field(*c.field, bytes.data()).Format(*c.picture);
}

ListQueueRow ListBrowser::StoreRow() const {
    ListQueueRow row;
    const files::TableFile& f = reader_->file();
    const std::string record(static_cast<const char*>(f.buffer()), f.desc().recordSize);
    for (const Column& c : columns_) row.fields.push_back(formatted(c, record));
    row.VIEWPOSITION = f.position();
    return row;
}

// --- Orders and loading ---------------------------------------------------------------------------

int ListBrowser::PickOrder() { return orderCount(); }

int ListBrowser::SelectOrder(int n) {
    if (n < 1 || n > orderCount() || n == order_) return n;
    // The highlighted record stays highlighted in the new order when it is in it.
    keepHighlight();
    restoreSeeker();
    temporary_.reset();
    order_ = n;
    usePager(orders_[static_cast<std::size_t>(n - 1)]);
    ReloadBusy();
    return n;
}

void ListBrowser::keepHighlight() {
    if (pager_ && pager_->current() >= 0) locate_ = pager_->rows()[static_cast<std::size_t>(pager_->current())].position;
}

void ListBrowser::restoreSeeker() {
    if (temporary_ && temporary_->seeker) *temporary_->seeker = temporary_->ownOrder;
}

void ListBrowser::usePager(const Order& o) {
    files::RecordView& view = reader_->UseOrder(o.key);
    if (o.step) {
        const files::TableFile& f = reader_->file();
        const rt::KeyDesc* k = o.key >= 0 ? &f.desc().keys[static_cast<std::size_t>(o.key)] : nullptr;
        o.step->Build(view, k && !k->components.empty() ? f.desc().field(k->components.front().field) : nullptr);
    }
    pager_ = std::make_unique<ListPager>(view, visible_);
}

const ThumbStep* ListBrowser::step() const {
    if (temporary_ || order_ < 1) return nullptr;  // a temporary order has no step: Home and End only
    return orders_[static_cast<std::size_t>(order_ - 1)].step;
}

const ListSeeker* ListBrowser::seeker() const {
    if (temporary_) return temporary_->linked ? temporary_->seeker : nullptr;
    return order_ >= 1 ? orders_[static_cast<std::size_t>(order_ - 1)].seeker : nullptr;
}

bool ListBrowser::PushOrderState(std::string_view order, ListSeeker* seeker) {
    if (!reader_ || orders_.empty()) return false;
    std::optional<std::vector<rt::KeyComponent>> parsed = ViewReader::ParseOrder(order, reader_->file().desc());
    if (!parsed || parsed->empty()) return false;
    std::vector<rt::KeyComponent> by = std::move(*parsed);
    if (order_ < 1) order_ = PickOrder();
    keepHighlight();
    restoreSeeker();
    TemporaryOrder t;
    t.text = std::string(order);
    t.key.components = by;
    t.seeker = seeker;
    if (seeker) t.ownOrder = *seeker;
    t.view = &reader_->UseSortedOrder(orders_[static_cast<std::size_t>(order_ - 1)].key, std::move(by));
    pager_ = std::make_unique<ListPager>(*t.view, visible_);
    temporary_ = std::move(t);
    ReloadBusy();
    return true;
}

void ListBrowser::PopOrderState() {
    if (!temporary_) return;
    keepHighlight();
    restoreSeeker();
    temporary_.reset();
    usePager(orders_[static_cast<std::size_t>(order_ - 1)]);
    ReloadBusy();
}

void ListBrowser::RelinkSeeker() {
    if (!temporary_ || !temporary_->seeker) return;
    temporary_->seeker->Initialise(reader_->file().desc(), temporary_->key, true);
    temporary_->linked = true;
}

void ListBrowser::ReloadBusy() {
    window().SetBusy(true);
    ReloadRows();
    window().SetBusy(false);
}

void ListBrowser::ReloadRows() {
    if (!pager_) return;
    int e = 0;
    if (locate_.valid()) e = pager_->LocatePosition(locate_);
    if (!locate_.valid() || e == files::kRecordNotFound || e == files::kRecordNotAvailable)
        e = pager_->current() >= 0 ? pager_->Reload() : pager_->Home();
    if (e == files::kRecordNotFound || e == files::kRecordNotAvailable) e = pager_->Home();
    locate_ = {};
    if (e && reader_->ReportReadError(e) == kLevelFatal) controller_->CloseWith(kResponseCancelled);
    show();
}

void ListBrowser::show() {
    queue_->rows.clear();
    wnd::Window& w = window();
    // The list box's columns in the order its layout puts them.
    std::vector<std::size_t> fields = wnd::ShownFields(wnd::ParseListFormat(w.control(list_).format));
    std::vector<std::vector<std::string>> shown;
    for (const ListRow& r : pager_->rows()) {
        ListQueueRow q;
        for (const Column& c : columns_) q.fields.push_back(formatted(c, r.record));
        q.VIEWPOSITION = r.position;
        std::vector<std::string> cells;
        for (std::size_t f : fields) cells.push_back(f < q.fields.size() ? q.fields[f] : std::string());
        shown.push_back(std::move(cells));
        queue_->rows.push_back(std::move(q));
    }
    w.SetRows(list_, std::move(shown));
    w.SetChoice(list_, pager_->current() + 1);
    int thumb = 0;
    if (pager_->current() >= 0) {
        if (const ThumbStep* s = step()) thumb = s->ThumbOf(pager_->rows()[static_cast<std::size_t>(pager_->current())].record.data());
        if (pager_->atEnd() && pager_->current() + 1 == static_cast<int>(pager_->rows().size())) thumb = 100;
        if (pager_->atStart() && pager_->current() == 0) thumb = 0;
    }
    w.SetThumb(list_, thumb);
    RefreshControls();
}

void ListBrowser::Reset(bool force) {
    const int n = PickOrder();
    if (n != order_) {
        SelectOrder(n);
    } else if (force) {
        ReloadBusy();
    }
}

bool ListBrowser::ResetRequired() { return controller_ && !orders_.empty() && PickOrder() != order_; }

void ListBrowser::SyncBuffer() {
    if (pager_ && !pager_->empty()) pager_->LoadCurrent();
}

// --- Buttons -----------------------------------------------------------------------------------

void ListBrowser::RefreshControls() {
    wnd::Window& w = window();
    const bool rows = pager_ && !pager_->empty();
    for (int b : {CHANGECONTROL, DELETECONTROL, VIEWCONTROL, PRINTCONTROL})
        if (b && w.Has(b)) w.SetDisabled(b, !rows);
    if (INSERTCONTROL && w.Has(INSERTCONTROL)) w.SetDisabled(INSERTCONTROL, false);
    if (SELECTCONTROL && w.Has(SELECTCONTROL)) {
        if (SELECTING) {
            const bool can = rows && controller_->REQUEST == kRequestSelect;
            w.SetDisabled(SELECTCONTROL, !can);
            w.SetHidden(SELECTCONTROL, false);
            if (can) w.SetDefault(SELECTCONTROL, true);
        } else if (HIDESELECT) {
            w.SetDisabled(SELECTCONTROL, true);
            w.SetHidden(SELECTCONTROL, true);
        }
    }
    // The popup's items stand for these buttons, in this order.
    POPUP.ClearMimics();
    POPUP.AddItemMimic(INSERTCONTROL);
    POPUP.AddItemMimic(CHANGECONTROL);
    POPUP.AddItemMimic(DELETECONTROL);
    if (EDITVIAPOPUP) POPUP.AddItemMimic(VIEWCONTROL);
    POPUP.AddItemMimic(PRINTCONTROL);
    if (SELECTING) POPUP.AddItemMimic(SELECTCONTROL);
}

bool ListBrowser::usable(int button) const {
    if (!button || !window().Has(button)) return false;
    return !window().control(button).disabled;
}

int ListBrowser::press(int button, int request) {
    if (!usable(button)) return kLevelHandled;
    controller_->SyncComponents();
    OpenUpdater(request);
    return kLevelHandled;
}

int ListBrowser::OpenUpdater(int request) {
    if (controller_->VCRREQUEST) *controller_->VCRREQUEST = 0;
    files::TableFile& f = reader_->file();
    files::Position was;
    if (pager_ && pager_->current() >= 0) was = pager_->rows()[static_cast<std::size_t>(pager_->current())].position;
    if (request == kRequestInsert) {
        if (reader_->PrepareNew() != 0) {
            locate_ = was;
            AfterUpdater(request, kResponseCancelled);
            return kResponseCancelled;
        }
    } else {
        if (!was.valid()) return kResponseCancelled;
        // The form writes over the file's current record: the highlighted one, as stored now.
        const int e = f.getAt(was);
        if (e != 0) {
            reader_->ReportReadError(e == files::kRecordNotFound ? 0 : e);
            locate_ = was;
            AfterUpdater(request, kResponseCancelled);
            return kResponseCancelled;
        }
    }
    const int response = controller_->CallUpdater(ASKPROCEDURE, request);
    locate_ = was;
    if (response == kResponseCompleted && (request == kRequestInsert || request == kRequestChange) && f.position().valid())
        locate_ = f.position();
    AfterUpdater(request, response);
    return response;
}

void ListBrowser::AfterUpdater(int, int) {
    // A removed record, or a changed one the view no longer holds, leaves the highlight where it
    // would have been (the pager seeks by its key).
    ReloadBusy();
    key_ = 0;
    OnNewSelection();
    window().Select(list_);
}

// --- Events ------------------------------------------------------------------------------------

int ListBrowser::OnNewSelection() {
    if (pager_ && !pager_->empty()) pager_->LoadCurrent();
    if (key_ == wnd::kKeyMouseRightUp || key_ == wnd::kKeyApps) {
        RefreshControls();
        // The mouse's menu opens where it was clicked, the keyboard's at the highlighted row.
        POPUP.Ask(key_ == wnd::kKeyApps ? list_ : 0);
    } else {
        controller_->Refresh();
    }
    return kLevelGoOn;
}

void ListBrowser::moved() {
    show();
    key_ = 0;
    OnNewSelection();
}

int ListBrowser::TakeEvent(WindowController& controller) {
    wnd::Window& w = controller.window();
    const wnd::Event e = w.event();
    const int c = w.control();
    if (e == wnd::Event::Accepted && c) {
        if (c == INSERTCONTROL) return press(c, kRequestInsert);
        if (c == CHANGECONTROL) return press(c, kRequestChange);
        if (c == DELETECONTROL) return press(c, kRequestDelete);
        if (c == VIEWCONTROL) return press(c, kRequestView);
        if (c == SELECTCONTROL && usable(c)) {
            SyncBuffer();
            controller.CloseWith(kResponseCompleted);
            return kLevelHandled;
        }
        if (c == PRINTCONTROL && usable(c)) {
            SyncBuffer();
            controller.CallUpdater(ASKPROCEDURE, kRequestPrint);
            ReloadBusy();
            return kLevelHandled;
        }
        return kLevelGoOn;
    }
    if (e == wnd::Event::RowsFit && c == list_) {
        // A box that grew (or shrank) shows as many rows as fit, not the page it was given.
        const int rows = w.control(list_).rowsFit;
        if (rows < 1 || rows == visible_) return kLevelHandled;
        SetVisibleRows(rows);
        if (!pager_) return kLevelHandled;
        const int r = pager_->Refit();
        if (r && reader_->ReportReadError(r) == kLevelFatal) controller_->CloseWith(kResponseCancelled);
        show();
        return kLevelHandled;
    }
    if (c != list_ || !pager_) return kLevelGoOn;
    switch (e) {
        case wnd::Event::NewSelection: {
            const int row = w.control(list_).choice;
            if (row >= 1 && row <= static_cast<int>(pager_->rows().size())) pager_->select(row - 1);
            key_ = 0;
            OnNewSelection();
            return kLevelHandled;
        }
        case wnd::Event::AlertKey: return takeKey(w.keyCode());
        case wnd::Event::Scrolled: {
            const ThumbStep* s = step();
            if (w.thumb() <= 0 || !s) pager_->Home();
            else if (w.thumb() >= 100) pager_->End();
            else {
                s->SetBufferKey(w.thumb(), reader_->file());
                pager_->LocateBufferKey();
            }
            moved();
            return kLevelHandled;
        }
        default: return kLevelGoOn;
    }
}

int ListBrowser::takeKey(wnd::KeyCode key) {
    wnd::Window& w = window();
    auto pick = [&] {
        const int row = w.pointerRow();
        if (row >= 1 && row <= static_cast<int>(pager_->rows().size())) {
            pager_->select(row - 1);
            w.SetChoice(list_, row);
        }
    };
    switch (key) {
        case wnd::kKeyMouseLeft2:
            if (w.pointerRow() == 0) return kLevelGoOn;  // the header: the column auto-sizer's
            pick();
            if (SELECTING) return usable(SELECTCONTROL) ? (w.Post(wnd::Event::Accepted, SELECTCONTROL), kLevelHandled) : kLevelHandled;
            return press(CHANGECONTROL, kRequestChange);
        case wnd::kKeyMouseRightUp: case wnd::kKeyApps:
            if (key == wnd::kKeyMouseRightUp) pick();
            key_ = key;
            OnNewSelection();
            key_ = 0;
            return kLevelHandled;
        case wnd::kKeyInsert: return press(INSERTCONTROL, kRequestInsert);
        case wnd::kCtrl | wnd::kKeyEnter: return press(CHANGECONTROL, kRequestChange);
        case wnd::kKeyDelete: return press(DELETECONTROL, kRequestDelete);
        case wnd::kShift | wnd::kKeyEnter: return press(VIEWCONTROL, kRequestView);
        case wnd::kKeyUp: pager_->Up(); break;
        case wnd::kKeyDown: pager_->Down(); break;
        case wnd::kKeyPageUp: pager_->PageUp(); break;
        case wnd::kKeyPageDown: pager_->PageDown(); break;
        case wnd::kKeyHome: pager_->Home(); break;
        case wnd::kKeyEnd: pager_->End(); break;
        default: {
            const ListSeeker* s = seeker();
            const bool plain = key >= 0x20 && key <= 0x5A && key != wnd::kKeyPageUp && key != wnd::kKeyPageDown;
            if (!plain || !s || pager_->empty()) return kLevelGoOn;
            if (!s->Seek(static_cast<char>(key), *pager_, reader_->file())) return kLevelGoOn;
            break;
        }
    }
    moved();
    return kLevelHandled;
}

void ListBrowser::ArmKeys() {
    wnd::Window& w = window();
    // The keys of the popup's actions in the top positions, where a key armed later (the Enter-key
    // navigator's Enter, Right and Left in 253 to 255) takes their place: Apps 249, the double
    // click 252, change 253, delete 254, and insert in 255 unless the view key is armed there.
    w.SetAlert(list_, 249, wnd::kKeyApps);
    w.SetAlert(list_, 252, wnd::kKeyMouseLeft2);
    w.SetAlert(list_, 253, wnd::kCtrl | wnd::kKeyEnter);
    w.SetAlert(list_, 254, wnd::kKeyDelete);
    w.SetAlert(list_, 255, VIEWCONTROL ? wnd::kShift | wnd::kKeyEnter : wnd::kKeyInsert);
    // The right mouse button and the keys the paged list moves and seeks by: free positions below.
    std::vector<wnd::KeyCode> keys = {wnd::kKeyMouseRightUp, wnd::kKeyUp, wnd::kKeyDown, wnd::kKeyPageUp,
                                      wnd::kKeyPageDown, wnd::kKeyHome, wnd::kKeyEnd, ' '};
    for (wnd::KeyCode k = '0'; k <= '9'; ++k) keys.push_back(k);
    for (wnd::KeyCode k = 'A'; k <= 'Z'; ++k) keys.push_back(k);
    int p = 1;
    for (wnd::KeyCode k : keys) {
        if (w.control(list_).Alerts(k)) continue;
        while (p < kTopPositions && w.alert(list_, p) != 0) ++p;
        if (p >= kTopPositions) break;
        w.SetAlert(list_, p, k);
    }
}

void ListBrowser::Release() {
    pager_.reset();
    controller_ = nullptr;
}

// --- The list box's layout ------------------------------------------------------------------------

std::string ListBrowser::Format() const { return window().control(list_).format; }

void ListBrowser::SetFormat(std::string_view format) {
    window().SetFormat(list_, format);
    if (pager_) show();  // the columns may have moved
}

std::string ListBrowser::DesignedFormat() const { return designed_; }

std::string ListBrowser::ColumnFields(int fieldCount) const {
    std::string s;
    for (int i = 0; i < fieldCount && i < static_cast<int>(columns_.size()); ++i)
        s += "?" + std::string(columns_[static_cast<std::size_t>(i)].field->name) + "[" + std::to_string(i + 1) + "]";
    return s;
}

bool ListBrowser::Accepts(std::string_view format) const {
    // A layout may move, resize and rename columns but must show each designed one once, with
    // its picture.
    const auto stored = wnd::ParseListFormat(format);
    const auto designed = wnd::ParseListFormat(designed_);
    if (stored.size() != shownColumns_ || designed.size() != shownColumns_) return false;
    std::vector<bool> seen(designed.size(), false);
    const auto fields = wnd::ShownFields(stored);
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const std::size_t f = fields[i];
        if (f >= designed.size() || seen[f] || stored[i].picture != designed[f].picture) return false;
        seen[f] = true;
    }
    return true;
}

}  // namespace cls
