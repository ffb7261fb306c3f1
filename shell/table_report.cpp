#include "shell/table_report.h"

#include "globals/globals.h"
#include "platform/classes/report_driver.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/picture.h"
#include "shell/procedure_services.h"

namespace shell {
namespace {

constexpr int kDescendingFlag = 16;

bool isText(const rt::FieldDesc& f) { return f.type == rt::FieldType::String || f.type == rt::FieldType::CString; }

void stamp(wnd::Report& report, const char* use, const std::string& picture, bool date) {
    const int control = report.Find(use);
    if (picture.empty() || !control) return;
    std::string error;
    const auto p = rt::Picture::Parse(picture, &error);
    if (p) report.SetText(control, date ? p->FormatDate(rt::today()) : p->FormatTime(rt::clockNow()));
}

// Prints the detail band of every record the report takes.
class DetailLoop final : public cls::RecordLoop {
public:
    DetailLoop(const TableReport& settings, wnd::Report& report) : settings_(settings), report_(report), detail_(report.Find("?DETAIL")) {}
    int OnRecord() override {
        const int r = RecordLoop::OnRecord();
        if (!settings_.takes || settings_.takes()) report_.PrintBand(detail_);
        return r;
    }

private:
    const TableReport& settings_;
    wnd::Report& report_;
    int detail_;
};

class TableReportDriver final : public cls::ReportDriver {
public:
    TableReportDriver(cls::ProcedureBody& body, const TableReport& settings, wnd::Report& report)
        : ReportDriver(body), settings_(settings), report_(report), reader_(*settings.file, settings.group ? settings.group->ME : nullptr),
          loop_(settings, report) {
        if (settings_.group) UseTable(settings_.group);
        SetFirstControl(1);
        WithoutToolbar();
    }

protected:
    void SetUpReport() override {
        const rt::TableDesc& table = settings_.file->desc();
        const rt::FieldDesc* field = table.fieldByName(settings_.stepField);
        cls::ThumbStep* step = nullptr;
        const int descending = settings_.descending ? kDescendingFlag : 0;
        if (field && isText(*field)) {
            text_.Initialise(5 | descending, 3);
            step = &text_;
        } else if (field) {
            number_.Initialise(4 | descending);
            step = &number_;
        }
        loop_.Initialise(reader_, settings_.group, window().Find("?PROGRESS:PCTTEXT"), step, field, &THERMOMETER);
        loop_.CASESENSITIVEVALUE = field && isText(*field) ? 0 : 1;
        reader_.UseOrder(table.keyIndex(settings_.key));
        // A stored order or filter that does not compile is the program's own fault: said
        // plainly, and the report reads without it.
        std::string error;
        if (!settings_.appendOrder.empty() && !reader_.AppendOrder(settings_.appendOrder, &error)) complain(error);
        if (!settings_.filter.empty() && !reader_.SetStandardFilter(settings_.filter, &error)) complain(error);
        if (!settings_.takesOnly.empty()) reader_.NarrowPass(settings_.takesOnly);
        if (!settings_.range.empty())
            if (const rt::FieldDesc* r = table.fieldByName(settings_.range)) reader_.LimitOrder(*r);
        Initialise(loop_, report_, preview_);
        WAITCURSOR = settings_.waitCursor ? 1 : 0;
        if (settings_.group) settings_.group->ToggleQuickScan();
        preview_.UseSettings(&globals::AppSettings());
        preview_.AllowUserZoom(true);
        preview_.MAXIMIZE = settings_.maximisedPreview;
        preview_.ZOOM = settings_.previewZoom;
    }

    int StartReport() override {
        const int r = ReportDriver::StartReport();
        if (r != cls::kLevelGoOn) return r;
        stamp(report_, "?REPORTDATESTAMP", settings_.dateStamp, true);
        stamp(report_, "?REPORTTIMESTAMP", settings_.timeStamp, false);
        return r;
    }

private:
    void complain(const std::string& error) {
        if (!ERRORS) return;
        cls::MessageBoxRequest m;
        m.caption = settings_.procedure;
        m.icon = cls::MessageIcon::Exclamation;
        m.text = error;
        ERRORS->Ask(m);
    }

    const TableReport& settings_;
    wnd::Report& report_;
    cls::ViewReader reader_;
    DetailLoop loop_;
    cls::TextThumbStep text_;
    cls::NumberThumbStep number_;
    cls::PagePreviewer preview_;
};

}  // namespace

void RunTableReport(const TableReport& settings) {
    if (!settings.file) return;
    cls::ProcedureBody body(ServicesHere(), settings.procedure, "P1$PROGRESSWINDOW");
    wnd::Report report(settings.procedure, "P1$REPORT");
    const rt::TableDesc& table = settings.file->desc();
    report.BindRecord(table, settings.file->buffer());
    if (table.memo && settings.file->memo()) report.Bind(table.memo->boundName, wnd::UseVariable::Text(*settings.file->memo()));
    if (!settings.pageNumber.empty())
        if (const int c = report.Find(settings.pageNumber)) report.ShowPageNumber(c);
    if (settings.bind) settings.bind(report);
    body.Run<TableReportDriver>(settings, report);
}

}  // namespace shell
