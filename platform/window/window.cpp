#include "platform/window/window.h"

#include <algorithm>
#include <stdexcept>

#include "platform/runtime/codepage.h"
#include "platform/runtime/threads.h"
#include "platform/window/input_mirror.h"
#include "platform/window/list_format.h"
#include "platform/window/task_queue.h"

namespace wnd {
namespace {

std::string utf8(std::string_view s) { return rt::cp1252ToUtf8(s); }

ControlState utf8State(const ControlState& c) {
    ControlState out = c;
    out.text = utf8(c.text);
    out.tip = utf8(c.tip);
    out.message = utf8(c.message);
    return out;
}

WindowState utf8State(const WindowState& w) {
    WindowState out = w;
    out.caption = utf8(w.caption);
    for (ControlState& c : out.controls) c = utf8State(c);
    return out;
}

const WindowLayout& layoutOf(std::string_view procedure, std::string_view label) {
    const WindowLayout* layout = FindWindowLayout(procedure, label);
    if (!layout)
        throw std::runtime_error("no stored window " + std::string(label) + " for " + std::string(procedure));
    return *layout;
}

// Shown values of these kinds come from their use variable.
bool showsValue(ControlKind k) {
    return k == ControlKind::Entry || k == ControlKind::Text || k == ControlKind::Spin || k == ControlKind::Combo ||
           k == ControlKind::DropCombo || k == ControlKind::DropList || k == ControlKind::String ||
           k == ControlKind::Progress;
}

}  // namespace

Window::Window(std::string_view procedure, std::string_view label) : Window(layoutOf(procedure, label)) {}

Window::Window(const WindowLayout& layout) : id_(detail::NewWindowId()), state_(layout.window) {
    for (const LayoutControl& lc : layout.controls) {
        state_.controls.push_back(lc.state);
        Binding b;
        b.var = lc.var;
        b.trueValue = lc.trueValue;
        b.falseValue = lc.falseValue;
        b.value = lc.value;
        binds_.push_back(std::move(b));
    }
    for (int n = 1; n <= LastControl(); ++n) ResolvePicture(n);
    // The first tab of every sheet is in front.
    for (const ControlState& c : state_.controls)
        if (c.kind == ControlKind::Tab && state_.control(c.parent) && at(c.parent).choice == 0) at(c.parent).choice = c.number;
    queue_ = ThisThreadQueue();
    queue_->WindowOpened(id_);
}

Window::~Window() {
    Close();
    queue_->WindowClosed(id_);
}

ControlState& Window::at(int number) {
    if (!state_.control(number)) throw std::out_of_range("window " + state_.label + " has no control " + std::to_string(number));
    return state_.controls[static_cast<std::size_t>(number - 1)];
}

const ControlState& Window::control(int number) const {
    const ControlState* c = state_.control(number);
    if (!c) throw std::out_of_range("window " + state_.label + " has no control " + std::to_string(number));
    return *c;
}

void Window::ResolvePicture(int number) {
    Binding& b = binds_[static_cast<std::size_t>(number - 1)];
    const ControlState& c = at(number);
    std::string source = c.picture;
    if (source.empty() && b.use.bound()) source = b.use.DefaultPicture();
    if (source.empty()) {
        b.picture.reset();
        return;
    }
    std::string error;
    b.picture = rt::Picture::Parse(source, &error);
    if (!b.picture) throw std::runtime_error("control " + c.use + " of " + state_.label + ": " + error);
    // What the user types stops at the picture's width (and the variable's room) as it is typed;
    // a number, date or pattern is checked when it is accepted.
    int limit = 0;
    const bool typedInto = c.kind == ControlKind::Entry || c.kind == ControlKind::Text ||
                           c.kind == ControlKind::Combo || c.kind == ControlKind::DropCombo;
    if (typedInto && b.picture->kind() == rt::Picture::Kind::Text) {
        limit = b.picture->width();
        if (const std::size_t room = b.use.TextRoom(); room > 0 && room < static_cast<std::size_t>(limit))
            limit = static_cast<int>(room);
    }
    if (limit != c.maxChars) {
        at(number).maxChars = limit;
        if (open_) SendControl(number);
    }
}

// --- Use variables -----------------------------------------------------------------------------

int Window::Bind(std::string_view name, UseVariable var) {
    int count = 0;
    for (int n = 1; n <= LastControl(); ++n) {
        Binding& b = binds_[static_cast<std::size_t>(n - 1)];
        if (!b.var.empty() && rt::compareNoCase(b.var, name) == 0) {
            b.use = var;
            ResolvePicture(n);
            ++count;
        }
    }
    return count;
}

int Window::BindRecord(const rt::TableDesc& table, void* record) {
    int count = 0;
    for (int n = 1; n <= LastControl(); ++n) {
        Binding& b = binds_[static_cast<std::size_t>(n - 1)];
        const rt::FieldDesc* f = table.fieldByName(b.var);
        if (!f) {
            // "PRE:X:2", "PER:MARITALSTATUS:RADIO5": the field is what stands before the last colon.
            const std::size_t colon = b.var.rfind(':');
            if (colon != std::string::npos && b.var.find(':') < colon) f = table.fieldByName(b.var.substr(0, colon));
            // A radio belongs to its option's variable, not one of its own.
            if (f && at(n).kind == ControlKind::Radio) f = nullptr;
        }
        if (!f) continue;
        b.use = UseVariable::Field(*f, record);
        ResolvePicture(n);
        ++count;
    }
    return count;
}

void Window::ShowValue(int number) {
    ControlState& c = at(number);
    Binding& b = binds_[static_cast<std::size_t>(number - 1)];
    if (!b.use.bound()) return;
    if (c.kind == ControlKind::Check) {
        const bool checked = rt::compareNoCase(b.use.Raw(), b.trueValue) == 0;
        if (checked != c.checked) {
            c.checked = checked;
            SendControl(number);
        }
        return;
    }
    if (c.kind == ControlKind::Option) {
        const std::string raw = b.use.Raw();
        for (ControlState& r : state_.controls) {
            if (r.parent != number || r.kind != ControlKind::Radio) continue;
            const bool on = rt::compareNoCase(binds_[static_cast<std::size_t>(r.number - 1)].value, raw) == 0;
            if (on != r.checked) {
                r.checked = on;
                SendControl(r.number);
            }
        }
        return;
    }
    if (!showsValue(c.kind) || !b.picture) return;
    const std::string text = b.use.Format(*b.picture);
    if (text != c.text) {
        c.text = text;
        SendText(number);
    }
}

void Window::Display(int number) {
    if (number != 0) {
        ShowValue(number);
        return;
    }
    for (int n = 1; n <= LastControl(); ++n) ShowValue(n);
}

// --- Talking to the presenter ------------------------------------------------------------------

void Window::SendControl(int number) {
    if (!open_) return;
    if (auto p = CurrentPresenter()) p->UpdateControl(id_, utf8State(at(number)));
}

void Window::SendWindow() {
    if (!open_) return;
    if (auto p = CurrentPresenter()) p->UpdateWindow(id_, utf8State(state_));
}

void Window::SendText(int number) {
    if (!open_) return;
    if (auto p = CurrentPresenter())
        p->SetText(id_, number, utf8(at(number).text), binds_[static_cast<std::size_t>(number - 1)].seenRevision);
}

// --- Opening and closing -------------------------------------------------------------------------

void Window::Open() {
    if (open_) return;
    for (int n = 1; n <= LastControl(); ++n) {
        ControlState& c = at(n);
        Binding& b = binds_[static_cast<std::size_t>(n - 1)];
        if (b.use.bound() && showsValue(c.kind) && b.picture) c.text = b.use.Format(*b.picture);
    }
    if (!state_.control(state_.focus) || !TakesFocus(at(state_.focus).kind)) state_.focus = wnd::NextTabStop(state_, 0);
    open_ = true;
    opened_ = false;
    closing_ = false;
    nextTimer_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(10 * state_.timer);
    // Values of checks and options, then the window with everything in it.
    for (int n = 1; n <= LastControl(); ++n) {
        ControlKind k = at(n).kind;
        if (k == ControlKind::Check || k == ControlKind::Option) {
            open_ = false;  // settle the state without sending it piecemeal
            ShowValue(n);
            open_ = true;
        }
    }
    detail::WindowOpened(id_, queue_);
    if (auto p = CurrentPresenter()) {
        p->OpenWindow(id_, rt::CurrentThreadNumber(), utf8State(state_), queue_);
        for (int n = 1; n <= LastControl(); ++n) {
            const Binding& b = binds_[static_cast<std::size_t>(n - 1)];
            if (!b.rows.empty()) SendRows(n);
            if (b.pages) p->SetPages(id_, n, b.pages);
        }
    }
}

void Window::Close() {
    if (!open_) return;
    open_ = false;
    acceptAll_ = 0;
    if (auto p = CurrentPresenter()) p->CloseWindow(id_);
    detail::WindowClosed(id_);
}

void Window::CancelClose() {
    if (event_ == Event::CloseDown) {
        if (ForcedToClose(id_)) return;  // the program is ending
        detail::CloseDownRefused(id_);
    }
    closing_ = false;
}

WindowHandle Window::handle() const { return WindowHandle{id_, queue_}; }

void Window::Post(Event event, int control) { queue_->Post(id_, event, control); }

void Window::AcceptAll() { acceptAll_ = 1; }

bool Window::NextAcceptAll() {
    for (; acceptAll_ >= 1 && acceptAll_ <= LastControl(); ++acceptAll_) {
        const ControlState& c = at(acceptAll_);
        if (TakesInput(c.kind) && !c.readOnly && Reachable(state_, acceptAll_)) {
            event_ = Event::Accepted;
            eventControl_ = acceptAll_++;
            return true;
        }
    }
    acceptAll_ = 0;
    event_ = Event::Completed;
    eventControl_ = 0;
    return true;
}

bool Window::Accept() {
    if (!open_ || closing_) return false;
    key_ = 0;
    if (!opened_) {
        opened_ = true;
        event_ = Event::OpenWindow;
        eventControl_ = 0;
        return true;
    }
    for (;;) {
        if (acceptAll_) return NextAcceptAll();
        std::optional<std::chrono::steady_clock::time_point> deadline;
        if (state_.timer > 0) deadline = nextTimer_;
        auto item = queue_->TakeForWindow(id_, deadline);
        if (!item) {
            nextTimer_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(10 * state_.timer);
            event_ = Event::Timer;
            eventControl_ = 0;
            return true;
        }
        if (Translate(*item)) {
            if (event_ == Event::CloseWindow || event_ == Event::CloseDown) closing_ = true;
            return true;
        }
    }
}

// --- Input from the user -----------------------------------------------------------------------

void Window::Refuse(int number, const std::string& why) {
    refused_ = true;
    Message(why, state_.caption.empty() ? "Invalid Entry" : state_.caption, MessageIcon::Exclamation);
    // A button the user pressed before seeing the refusal (OK right after typing) would act on
    // the old value as if the typed one had been taken: it is dropped, and the user, back in the
    // field, presses it again once the value is right.
    stalePresses_ = queue_->LastSeq();
    ControlState& c = at(number);
    Binding& b = binds_[static_cast<std::size_t>(number - 1)];
    if (b.picture && b.use.bound()) c.text = b.use.Format(*b.picture);
    SendText(number);  // the old value, always: the presenter still shows what was typed
    Select(number);
}

bool Window::TakeInput(int number, const std::string& typedUtf8, std::uint64_t revision) {
    ControlState& c = at(number);
    Binding& b = binds_[static_cast<std::size_t>(number - 1)];
    if (revision > b.seenRevision) b.seenRevision = revision;
    if (c.readOnly || c.disabled) {
        SendText(number);
        return false;
    }
    // The presenter keeps out what the code page cannot store as it is typed; anything that still
    // comes (a presenter that does not) loses only those characters, never the rest of the text.
    const auto typed = rt::utf8ToCp1252(StorablePart(typedUtf8));
    if (!b.use.bound() || !b.picture) {
        c.text = *typed;
        return true;
    }
    std::string error;
    // A spin box's range binds what the user enters, never what is stored: the accept-all pass
    // takes no input, so a stored value outside the range stays as it is.
    const bool ranged = c.kind == ControlKind::Spin && (c.rangeLow != 0 || c.rangeHigh != 0);
    if (ranged && b.picture->kind() == rt::Picture::Kind::Number) {
        const auto v = b.picture->ParseNumber(*typed, &error);
        if (v && (*v < c.rangeLow || *v > c.rangeHigh)) {
            Refuse(number, "The value must be between " + std::to_string(c.rangeLow) + " and " +
                               std::to_string(c.rangeHigh) + ".");
            return false;
        }
        error.clear();  // a value the picture refuses is refused below, with the picture's reason
    }
    if (!b.use.Store(*typed, *b.picture, &error)) {
        Refuse(number, error.empty() ? "The value does not fit this field." : error);
        return false;
    }
    const std::string shown = b.use.Format(*b.picture);
    c.text = shown;
    SendText(number);  // the stored value as its picture shows it
    return true;
}

bool Window::Translate(const QueueItem& item) {
    key_ = 0;
    pointerRow_ = pointerColumn_ = 0;
    if (item.posted) {
        event_ = item.event;
        eventControl_ = IsWindowEvent(item.event) ? 0 : item.control;
        return true;
    }
    const InputEvent& in = item.input;
    const int n = in.control;
    const bool known = state_.control(n) != nullptr;
    using K = InputEvent::Kind;
    switch (in.kind) {
        case K::Accepted: {
            if (!known) return false;
            ControlState& c = at(n);
            Binding& b = binds_[static_cast<std::size_t>(n - 1)];
            if (c.disabled || c.hidden) return false;
            if (c.kind == ControlKind::Check) {
                c.checked = in.text == "1";
                if (b.use.bound()) b.use.SetRaw(c.checked ? b.trueValue : b.falseValue);
                event_ = Event::Accepted;
                eventControl_ = n;
                return true;
            }
            if (c.kind == ControlKind::Radio) {
                const int option = c.parent && at(c.parent).kind == ControlKind::Option ? c.parent : 0;
                for (ControlState& r : state_.controls)
                    if (r.kind == ControlKind::Radio && r.parent == c.parent) r.checked = r.number == n;
                if (option && binds_[static_cast<std::size_t>(option - 1)].use.bound())
                    binds_[static_cast<std::size_t>(option - 1)].use.SetRaw(b.value);
                event_ = Event::Accepted;
                eventControl_ = option ? option : n;
                return true;
            }
            refused_ = false;
            if (!TakeInput(n, in.text, in.revision)) {
                if (!refused_) return false;
                event_ = Event::Rejected;  // the value was refused and the old one kept
                eventControl_ = n;
                return true;
            }
            event_ = Event::Accepted;
            eventControl_ = n;
            return true;
        }
        case K::Pressed: {
            if (!known || item.seq <= stalePresses_) return false;
            const ControlState& c = at(n);
            if (c.disabled || c.hidden) return false;
            if (c.std == StdAction::Close) {
                Post(Event::CloseWindow);
                return false;
            }
            if (c.std != StdAction::None) {
                if (auto p = CurrentPresenter()) p->PerformAction(id_, n, c.std);
                return false;
            }
            event_ = Event::Accepted;
            eventControl_ = n;
            return true;
        }
        case K::NewSelection: {
            if (!known) return false;
            ControlState& c = at(n);
            Binding& b = binds_[static_cast<std::size_t>(n - 1)];
            c.choice = in.row;
            if (c.kind == ControlKind::DropList || c.kind == ControlKind::Combo || c.kind == ControlKind::DropCombo) {
                // A chosen row puts its first column into the variable, as if typed.
                if (in.row < 1 || static_cast<std::size_t>(in.row) > b.rows.size() || b.rows[in.row - 1].empty()) return false;
                if (!TakeInput(n, utf8(b.rows[in.row - 1][0]), in.revision)) return false;
                event_ = Event::Accepted;
            } else {
                event_ = Event::NewSelection;
            }
            eventControl_ = n;
            return true;
        }
        case K::AlertKey:
            event_ = Event::AlertKey;
            eventControl_ = known ? n : 0;
            key_ = in.key;
            pointerRow_ = in.row;
            pointerColumn_ = in.column;
            return true;
        case K::Scrolled:
            if (!known) return false;
            event_ = Event::Scrolled;
            eventControl_ = n;
            thumb_ = in.row < 0 ? 0 : in.row > 100 ? 100 : in.row;
            return true;
        case K::Typed: {
            if (!known) return false;
            ControlState& c = at(n);
            Binding& b = binds_[static_cast<std::size_t>(n - 1)];
            if (in.revision > b.seenRevision) b.seenRevision = in.revision;
            if (!c.immediate || c.disabled || c.hidden || c.readOnly) return false;
            std::string bad;
            const auto typed = rt::utf8ToCp1252(in.text, &bad);
            if (!typed) return false;  // the entry is accepted, and refused, when it is left
            c.text = *typed;
            caret_ = std::clamp(in.caret, 0, static_cast<int>(c.text.size()));
            key_ = in.key;
            event_ = Event::Typed;
            eventControl_ = n;
            return true;
        }
        case K::RowsFit:
            if (!known || at(n).kind != ControlKind::List || in.row < 1 || in.row == at(n).rowsFit) return false;
            at(n).rowsFit = in.row;
            event_ = Event::RowsFit;
            eventControl_ = n;
            return true;
        case K::ColumnResized: {
            // The presenter already shows it: only the task's copy of the format follows.
            if (!known) return false;
            auto columns = ParseListFormat(at(n).format);
            if (in.column < 1 || static_cast<std::size_t>(in.column) > columns.size() || in.width <= 0) return false;
            columns[static_cast<std::size_t>(in.column - 1)].width = in.width;
            at(n).format = FormatListFormat(columns);
            return false;
        }
        case K::FocusChanged:
            // A move made before the presenter applied the task's last Select is out of date.
            if (!known || !TakesFocus(at(n).kind) || in.revision < focusCommands_) return false;
            state_.focus = n;
            BringTabForward(n);
            if (acceptAll_) acceptAll_ = 0;
            event_ = Event::Selected;
            eventControl_ = n;
            return true;
        case K::CloseRequest:
            event_ = Event::CloseWindow;
            eventControl_ = 0;
            return true;
        case K::MouseUp:
            event_ = Event::MouseUp;
            eventControl_ = known ? n : 0;
            key_ = in.key;
            return true;
        case K::Resized:
            state_.at.width = in.width;
            state_.at.height = in.height;
            event_ = Event::Resized;
            eventControl_ = 0;
            return true;
        case K::WindowFocus:
            event_ = Event::GainFocus;
            eventControl_ = 0;
            return true;
        case K::Answer:
            return false;  // answers are taken by the question that waits for them
    }
    return false;
}

// --- Properties ----------------------------------------------------------------------------------

void Window::SetText(int number, std::string_view text) {
    ControlState& c = at(number);
    c.text = std::string(text);
    if (showsValue(c.kind) && binds_[static_cast<std::size_t>(number - 1)].use.bound()) SendText(number);
    else SendControl(number);
}

void Window::SetHidden(int number, bool v) { at(number).hidden = v; SendControl(number); }
void Window::SetDisabled(int number, bool v) { at(number).disabled = v; SendControl(number); }
void Window::SetReadOnly(int number, bool v) { at(number).readOnly = v; SendControl(number); }
void Window::SetDefault(int number, bool v) { at(number).isDefault = v; SendControl(number); }
void Window::SetImmediate(int number, bool v) { at(number).immediate = v; SendControl(number); }
void Window::SetIcon(int number, std::string_view v) { at(number).icon = std::string(v); SendControl(number); }
void Window::SetTip(int number, std::string_view v) { at(number).tip = std::string(v); SendControl(number); }
void Window::SetMessage(int number, std::string_view v) { at(number).message = std::string(v); SendControl(number); }
void Window::SetHelp(int number, std::string_view v) { at(number).help = std::string(v); SendControl(number); }
void Window::SetStd(int number, StdAction a) { at(number).std = a; SendControl(number); }
void Window::SetPosition(int number, Rect r) { at(number).at = r; SendControl(number); }
void Window::SetFormat(int number, std::string_view v) { at(number).format = std::string(v); SendControl(number); }

void Window::SetColour(int number, std::uint32_t rgb) {
    if (rgb > 0xFFFFFFu && rgb != kDefaultColour)
        throw std::out_of_range("colour " + std::to_string(rgb) + " is not 0xRRGGBB");
    at(number).colour = rgb;
    SendControl(number);
}

void Window::SetPicture(int number, std::string_view picture) {
    at(number).picture = std::string(picture);
    ResolvePicture(number);
    SendControl(number);
    ShowValue(number);
}

void Window::SetAlert(int number, int position, KeyCode key) {
    if (position < 1 || position > kAlertPositions) throw std::out_of_range("alert position " + std::to_string(position));
    at(number).alerts[static_cast<std::size_t>(position - 1)] = key;
    SendControl(number);
}

KeyCode Window::alert(int number, int position) const {
    if (position < 1 || position > kAlertPositions) return 0;
    return control(number).alerts[static_cast<std::size_t>(position - 1)];
}

void Window::SetChoice(int number, int row) {
    at(number).choice = row;
    SendControl(number);
}

void Window::SetPreview(int number, int firstPage, int across, int down, int zoom) {
    ControlState& c = at(number);
    c.choice = firstPage;
    c.pagesAcross = std::max(across, 1);
    c.pagesDown = std::max(down, 1);
    c.zoom = zoom;
    SendControl(number);
}

void Window::SetThumb(int number, int thumb) {
    at(number).thumb = thumb;
    SendControl(number);
}

void Window::SetRows(int number, std::vector<std::vector<std::string>> rows) {
    at(number);
    binds_[static_cast<std::size_t>(number - 1)].rows = std::move(rows);
    if (open_) SendRows(number);
}

void Window::SendRows(int number) {
    if (auto p = CurrentPresenter()) {
        std::vector<std::vector<std::string>> shown = binds_[static_cast<std::size_t>(number - 1)].rows;
        for (auto& row : shown)
            for (auto& cell : row) cell = utf8(cell);
        p->SetRows(id_, number, shown);
    }
}

void Window::SetPages(int number, std::shared_ptr<const PageSet> pages) {
    at(number);
    Binding& b = binds_[static_cast<std::size_t>(number - 1)];
    b.pages = std::move(pages);
    if (!open_) return;
    if (auto p = CurrentPresenter()) p->SetPages(id_, number, b.pages);
}

void Window::ShowEntry(int number, std::string_view text, int selectFrom, int selectTo) {
    ControlState& c = at(number);
    c.text = std::string(text);
    const int size = static_cast<int>(c.text.size());
    selectTo = std::clamp(selectTo, 0, size);
    selectFrom = std::clamp(selectFrom, 0, selectTo);
    if (!open_) return;
    if (auto p = CurrentPresenter())
        p->SetEntry(id_, number, utf8(c.text), selectFrom, selectTo, binds_[static_cast<std::size_t>(number - 1)].seenRevision);
}

const std::vector<std::vector<std::string>>& Window::rows(int number) const {
    control(number);
    return binds_[static_cast<std::size_t>(number - 1)].rows;
}

int Window::Create(ControlKind kind, std::string_view use, int parent, std::string_view text, Rect r) {
    if (parent != 0) control(parent);
    if (!use.empty() && Find(use) != 0) throw std::invalid_argument("use name " + std::string(use) + " is taken");
    ControlState c;
    c.number = LastControl() + 1;
    c.use = std::string(use);
    c.kind = kind;
    c.parent = parent;
    c.text = std::string(text);
    c.at = r;
    state_.controls.push_back(std::move(c));
    Binding b;
    b.var = use.empty() ? "" : std::string(use.substr(1));
    binds_.push_back(std::move(b));
    SendControl(LastControl());
    return LastControl();
}

void Window::SetCaption(std::string_view caption) {
    state_.caption = std::string(caption);
    SendWindow();
}

void Window::SetTimer(int hundredths) {
    state_.timer = hundredths > 0 ? hundredths : 0;
    nextTimer_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(10 * state_.timer);
    SendWindow();
}

void Window::AlertWindowKey(KeyCode key) {
    if (!state_.AlertsKey(key)) state_.alertKeys.push_back(key);
    SendWindow();
}

void Window::AddAlias(KeyCode typed, KeyCode actsAs) {
    state_.aliases.emplace_back(typed, actsAs);
    SendWindow();
}

// --- Focus ---------------------------------------------------------------------------------------

void Window::BringTabForward(int number) {
    for (int tab = EnclosingTab(state_, number); tab; tab = EnclosingTab(state_, tab)) {
        ControlState& t = at(tab);
        if (t.parent && at(t.parent).kind == ControlKind::Sheet && at(t.parent).choice != tab) {
            at(t.parent).choice = tab;
            SendControl(t.parent);
        }
    }
}

void Window::Select(int number) {
    if (!TakesFocus(control(number).kind)) return;
    acceptAll_ = 0;
    state_.focus = number;
    BringTabForward(number);
    if (open_)
        if (auto p = CurrentPresenter()) {
            ++focusCommands_;
            p->SetFocus(id_, number);
        }
    Post(Event::Selected, number);
}

void Window::SetBusy(bool busy) {
    if (auto p = CurrentPresenter()) p->SetBusy(rt::CurrentThreadNumber(), busy);
}

}  // namespace wnd
