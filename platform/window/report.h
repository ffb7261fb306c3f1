#pragma once
// A report as its procedure prints it: built from a stored report layout, its field controls bound
// to use variables, its bands printed onto pages one by one. A detail band goes below the last one
// on the page, and a new page begins when it does not fit the detail area; each page gets its form
// and header bands when it begins and its footer when it ends. The pages are kept for the preview
// and the printer.
//
//     wnd::Report r("ReportThings", "P1$REPORT");
//     r.BindRecord(ThingsTable, &THI);
//     for (each record) r.PrintBand(r.Find("?DETAIL"));
//     r.EndPage();
//     Preview(r.Pages());
//
// A band is formatted when it is printed, from the values its variables hold at that moment.
// Totals count each detail band printed, from the report's first page on (Discard starts them
// again): a page's footer shows them over every detail band up to the end of that page.
// A detail band that does not fit the paper below the detail area's top is broken between its
// controls and runs on over the pages it needs; any other band is printed whole.
// Texts are single-byte here; the page set holds them as UTF-8 for the presenter.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/picture.h"
#include "platform/runtime/record_layout.h"
#include "platform/window/page_set.h"
#include "platform/window/report_layout.h"
#include "platform/window/use_variable.h"

namespace wnd {

class Report {
public:
    // From a registered layout; throws std::runtime_error when there is none.
    Report(std::string_view procedure, std::string_view label);
    explicit Report(const ReportLayout& layout);

    // As Window::Bind and Window::BindRecord: every control whose variable is `name`, or names a
    // field of the table. Returns how many.
    int Bind(std::string_view name, UseVariable var);
    int BindRecord(const rt::TableDesc& table, void* record);

    int Find(std::string_view use) const;       // band or control; 0 when unknown
    void SetText(int control, std::string_view text);  // what a control without a variable prints
    // The control prints the number of the page it is placed on, through its picture ("@N3").
    // Controls with a page-number pattern picture ("pPage <<#p") do so without being told.
    void ShowPageNumber(int control);
    const std::string& title() const { return layout_.title; }

    // Prints a band (its number). Any band may be printed; header, footer and form bands are also
    // printed by the page itself.
    void PrintBand(int band);
    // Ends the page being filled, with its footer; the next band begins a new page.
    void EndPage();
    int PageCount() const { return static_cast<int>(done_.size()) + (pageOpen_ ? 1 : 0); }
    // The pages so far (a page being filled counts once it has ended).
    std::shared_ptr<const PageSet> Pages() const;
    // The finished pages handed over without a copy (a long report's pages are large); the
    // report keeps only a page still being filled.
    std::shared_ptr<const PageSet> TakePages();
    void Discard();  // forgets every page and starts the totals again

private:
    struct Binding {
        UseVariable use;
        bool bound = false;
        bool pageNumber = false;
        std::optional<rt::Picture> picture;  // what the control prints through, parsed once
    };
    struct Tally {
        double value = 0;  // the sum, or the smallest or largest value so far
        long count = 0;
    };
    const ReportBand* band(int number) const;
    ReportControl* control(int number);
    void BeginPage();
    // Where detail bands end on a page: the detail area's bottom, or the footer's top above it.
    int DetailBottom() const;
    // Places the controls of a band whose top lies in [from, to) (band coordinates), with the
    // band's corner at (x, y).
    void Place(const ReportBand& band, int x, int y, int from, int to);
    void PlaceCheck(Page& page, const ReportControl& c, int x, int y);
    // Prints a detail band too long for the paper: piece by piece, each ending above a control
    // that would otherwise be cut at the bottom of its page.
    void PrintLongBand(const ReportBand& band);
    void CountDetail();
    double Number(const ReportControl& c) const;
    std::string Value(const ReportControl& c) const;
    // Parses the picture a control prints through, after its binding changed.
    void ResolvePicture(const ReportControl& c);

    ReportLayout layout_;
    std::vector<Binding> binds_;  // by control number - 1 (bands have none)
    std::vector<Tally> tallies_;  // likewise
    PageList done_;  // the pages ended so far, packed
    Page open_;      // the page being filled
    bool pageOpen_ = false;
    int nextY_ = 0;             // where the next detail band goes on the open page
    bool detailOnPage_ = false;
};

}  // namespace wnd
