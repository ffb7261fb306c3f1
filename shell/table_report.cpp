#include "shell/table_report.h"

#include "platform/classes/report_driver.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/picture.h"
#include "shell/globals.h"
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
    DetailLoop(const TableReport& spec, wnd::Report& report) : spec_(spec), report_(report), detail_(report.Find("?DETAIL")) {}
    int OnRecord() override {
        const int r = RecordLoop::OnRecord();
        if (!spec_.takes || spec_.takes()) report_.PrintBand(detail_);
        return r;
    }

private:
    const TableReport& spec_;
    wnd::Report& report_;
    int detail_;
};

class TableReportDriver final : public cls::ReportDriver {
public:
    TableReportDriver(cls::ProcedureBody& body, const TableReport& spec, wnd::Report& report)
        : ReportDriver(body), spec_(spec), report_(report), reader_(*spec.file, spec.group ? spec.group->ME : nullptr),
          loop_(spec, report) {
        if (spec_.group) UseTable(spec_.group);
        SetFirstControl(1);
        WithoutToolbar();
    }

protected:
    void SetUpReport() override {
        const rt::TableDesc& table = spec_.file->desc();
        const rt::FieldDesc* field = table.fieldByName(spec_.stepField);
        cls::ThumbStep* step = nullptr;
        const int descending = spec_.descending ? kDescendingFlag : 0;
        if (field && isText(*field)) {
            text_.Initialise(5 | descending, 3);
            step = &text_;
        } else if (field) {
            number_.Initialise(4 | descending);
            step = &number_;
        }
        loop_.Initialise(reader_, spec_.group, window().Find("?PROGRESS:PCTTEXT"), step, field, &THERMOMETER);
        loop_.CASESENSITIVEVALUE = field && isText(*field) ? 0 : 1;
        reader_.UseOrder(table.keyIndex(spec_.key));
        // A stored order or filter that does not compile is the program's own fault: said
        // plainly, and the report reads without it.
        std::string error;
        if (!spec_.appendOrder.empty() && !reader_.AppendOrder(spec_.appendOrder, &error)) complain(error);
        if (!spec_.filter.empty() && !reader_.SetStandardFilter(spec_.filter, &error)) complain(error);
        if (!spec_.range.empty())
            if (const rt::FieldDesc* r = table.fieldByName(spec_.range)) reader_.LimitOrder(*r);
        Initialise(loop_, report_, preview_);
        WAITCURSOR = spec_.waitCursor ? 1 : 0;
        if (spec_.group) spec_.group->ToggleQuickScan();
        preview_.UseSettings(&AppSettings());
        preview_.AllowUserZoom(true);
        preview_.MAXIMIZE = spec_.maximisedPreview;
        preview_.ZOOM = spec_.previewZoom;
    }

    int StartReport() override {
        const int r = ReportDriver::StartReport();
        if (r != cls::kLevelGoOn) return r;
        stamp(report_, "?REPORTDATESTAMP", spec_.dateStamp, true);
        stamp(report_, "?REPORTTIMESTAMP", spec_.timeStamp, false);
        return r;
    }

private:
    void complain(const std::string& error) {
        if (!ERRORS) return;
        cls::MessageBoxRequest m;
        m.caption = spec_.procedure;
        m.icon = cls::MessageIcon::Exclamation;
        m.text = error;
        ERRORS->Ask(m);
    }

    const TableReport& spec_;
    wnd::Report& report_;
    cls::ViewReader reader_;
    DetailLoop loop_;
    cls::TextThumbStep text_;
    cls::NumberThumbStep number_;
    cls::PagePreviewer preview_;
};

}  // namespace

void RunTableReport(const TableReport& spec) {
    if (!spec.file) return;
    cls::ProcedureBody body(ServicesHere(), spec.procedure, "P1$PROGRESSWINDOW");
    wnd::Report report(spec.procedure, "P1$REPORT");
    const rt::TableDesc& table = spec.file->desc();
    report.BindRecord(table, spec.file->buffer());
    if (table.memo && spec.file->memo()) report.Bind(table.memo->boundName, wnd::UseVariable::Text(*spec.file->memo()));
    if (!spec.pageNumber.empty())
        if (const int c = report.Find(spec.pageNumber)) report.ShowPageNumber(c);
    if (spec.bind) spec.bind(report);
    body.Run<TableReportDriver>(spec, report);
}

}  // namespace shell
