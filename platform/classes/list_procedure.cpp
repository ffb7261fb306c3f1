#include "platform/classes/list_procedure.h"

#include "platform/classes/column_header_sorter.h"

namespace cls {

// --- PatternListBrowser ---------------------------------------------------------------------------

void PatternListBrowser::MapTab(int sheet, int tab, int order) {
    sheet_ = sheet;
    tabs_.emplace_back(tab, order);
}

int PatternListBrowser::PickOrder() {
    if (sheet_ && controller()) {
        const int tab = controller()->window().control(sheet_).choice;
        for (const auto& [t, order] : tabs_)
            if (t == tab) return order;
    }
    return ListBrowser::PickOrder();
}

int PatternListBrowser::SelectOrder(int n) {
    const int result = ListBrowser::SelectOrder(n);
    if (n != lastChosen_) {
        if (sorter_) sorter_->ClearState();
        if (formats_ && formats_->initialised()) formats_->SetFormatValue(FormatNumber(n, orderCount()), FormatName(n, orderCount()));
        lastChosen_ = n;
    }
    return result;
}

int PatternListBrowser::OnNewSelection() {
    // The right mouse button shows the list-format items below the list's own; the Apps key not.
    bool formatItems = false;
    if (keyCode() == wnd::kKeyMouseRightUp && formats_ && formats_->initialised()) {
        RefreshControls();  // the list's own items as its buttons stand now
        std::string text;
        formats_->AddMenuItems(text);
        const int before = POPUP.ItemCount();
        if (before) text = "|-|" + text;
        POPUP.InsertItemsAt(text, before);
        formats_->SetMenuBase(before);
        formatItems = true;
    }
    const int r = ListBrowser::OnNewSelection();
    if (formatItems) {
        const int choice = POPUP.LastChoiceNumber();
        POPUP.RemoveInsertedItems();
        if (sorter_) {
            sorter_->ResetIndicators();
            PopOrderState();
        }
        const bool own = formats_->OnMenuChoice(choice);
        if (sorter_) {
            if (own) sorter_->RestoreSavedOrder();
            else sorter_->ApplyClickedSort();
        }
    }
    return r;
}

// --- ListProcedureController ----------------------------------------------------------------------

ListProcedureController::ListProcedureController(ProcedureBody& body, TableGroup& group, files::TableFile& file,
                                                 ListControls controls)
    : ProcedureController(body), group_(group), controls_(std::move(controls)), reader_(file, group.ME) {
    UseTable(&group_);
    UseResizer(&resizer_);
    if (!controls_.help.empty()) SetHelpButton(controls_.help);
}

void ListProcedureController::AddOrder(int key, ThumbStep* step) { orders_.push_back({key, step}); }

void ListProcedureController::MapTab(std::string_view tab, int order) { tabs_.emplace_back(std::string(tab), order); }

void ListProcedureController::UseListFormats(files::TableFile* formats, std::string appName, int controlId,
                                             int fieldCount, std::string settingsName) {
    formatsFile_ = formats;
    appName_ = std::move(appName);
    formatControl_ = controlId;
    formatFields_ = fieldCount;
    settingsName_ = std::move(settingsName);
}

int ListProcedureController::BeforeTables() {
    // 1. The Close button answers 2 to a caller that asked for a selection.
    if (int close = use(controls_.close)) AddButtonAction(close, REQUEST == kRequestSelect ? kResponseCancelled : kResponseCompleted);
    return kLevelGoOn;
}

int ListProcedureController::AfterTables() {
    // The list's file opens before its window, so a one-time upgrade of it shows its progress
    // first and the window opens on its rows. A file that cannot be opened is reported here, once,
    // and the list ends as a procedure whose tables do not open.
    if (group_.ME && group_.ME->OpenFile() != 0) return kLevelFatal;
    // 2. The browser and the buttons it drives.
    PatternListBrowser& b = *browser_;
    b.SELECTCONTROL = use(controls_.select);
    b.HIDESELECT = 1;
    b.Initialise(use(controls_.list), reader_, queue_, &group_, *this);
    if (REQUEST != kRequestView) {
        b.INSERTCONTROL = use(controls_.insert);
        b.CHANGECONTROL = use(controls_.change);
        b.DELETECONTROL = use(controls_.remove);
    }
    b.VIEWCONTROL = use(controls_.view);
    b.PRINTCONTROL = use(controls_.print);
    return kLevelGoOn;
}

void ListProcedureController::AfterOpenScreen() {
    PatternListBrowser& b = *browser_;
    const files::TableFile& f = reader_.file();
    // 5. Orders, each with its seeker on the key's first field.
    for (const SortOrder& o : orders_) {
        b.AddOrder(o.step, o.key);
        auto seeker = std::make_unique<ListSeeker>();
        if (o.key >= 0) {
            seeker->Initialise(f.desc(), f.desc().keys[static_cast<std::size_t>(o.key)], true);
        }
        b.SetSeeker(seeker.get());
        seekers_.push_back(std::move(seeker));
    }
    for (const auto& [tab, order] : tabs_)
        if (int t = window().Find(tab)) b.MapTab(window().control(t).parent, t, order);
    // 6-8.
    for (const rt::FieldDesc* c : columns_) {
        if (c->type == rt::FieldType::String) b.AddColumn(*c);
        else b.AddColumnValue(*c);
    }
    b.ASKPROCEDURE = 1;
    b.AttachToolbar(body().toolbar());
    // 9. The list's layouts.
    formats_.Construct();
    formats_.SAVEFORMAT = 1;
    if (formatsFile_ &&
        formats_.Initialise(&b, formatFields_, appName_, body().procedure(), 1, formatControl_, formatsFile_, ERRORS)) {
        formats_.SetApplication(settingsName_, 1, 2, 1);
        b.UseFormats(&formats_);
    }
}

void ListProcedureController::ArmKeys() {
    ProcedureController::ArmKeys();
    // 10.
    sizer_.Initialise();
    sizer_.AddList(window(), browser_->listControl(), queue_);
}

int ListProcedureController::EarlyOffer() { return sizer_.TakeEvent(window()) ? kLevelHandled : kLevelGoOn; }

void ListProcedureController::TearDownKind() {
    formats_.TearDown();
    sizer_.TearDown();
}

}  // namespace cls
