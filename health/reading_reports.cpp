#include "health/reading_reports.h"

#include <string>

#include "data/table_classes.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/fixed_string.h"
#include "shell/table_report.h"

namespace health {
namespace {

// A reading keeps the first 35 characters of its person's name: the filter compares it with as
// much of `personname` as a reading holds, so people with longer names still find their readings.
constexpr std::size_t kReadingNameWidth = 35;

struct ReadingLog {
    const char* procedure;
    files::TableFile& (*file)();
    cls::TableGroup* (*group)();
    const char* key;
    const char* stepField;
    bool descending;
    const char* filter;
};

void runLog(const ReadingLog& log) {
    // Bound on this report's own thread: the filter reads the name as each reading is read.
    rt::BindText("personname", [] { return globals::personname().get().substr(0, kReadingNameWidth); });
    std::string person(rt::rtrim(globals::personname().get()));
    std::string disclaimer(rt::rtrim(globals::DISCLAIMER().get()));
    shell::TableReport r;
    r.procedure = log.procedure;
    r.file = &log.file();
    r.group = log.group();
    r.key = log.key;
    r.stepField = log.stepField;
    r.descending = log.descending;
    r.filter = log.filter;
    r.maximisedPreview = true;
    r.dateStamp = "@d17";
    r.timeStamp = "@t7";
    r.bind = [&](wnd::Report& report) {
        report.Bind("PERSONNAME", wnd::UseVariable::Text(person));
        report.Bind("DISCLAIMER", wnd::UseVariable::Text(disclaimer));
    };
    // The page header names the person as `personname` stands when the page begins.
    r.takes = [&person] {
        person = rt::rtrim(globals::personname().get());
        return true;
    };
    shell::RunTableReport(r);
}

}  // namespace

void bpaverages() {
    runLog({"bpaverages", &data::BloodpreFile, []() -> cls::TableGroup* { return data::BloodpreGroupRef; }, "Blo:ByDate",
            "BLO:DATE", false, "Blo:personname=personname"});
}

void glucreport() {
    runLog({"glucreport", &data::GlucoseFile, []() -> cls::TableGroup* { return data::GlucoseGroupRef; }, "Glu:ByDate",
            "GLU:DATE", true, "Glu:personname=personname"});
}

}  // namespace health
