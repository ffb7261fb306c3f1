// The report engine on its own: totals in a page footer, check boxes, a page-number control, a
// detail band longer than the paper broken over pages, and detail bands kept above the footer.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/layout.h"
#include "platform/window/report.h"

namespace {

using Texts = std::vector<std::string>;

// A page of 2 in for details (y 1000 to 3000), cut short by the footer at y 2600: three 500-high
// detail bands fit a page. The footer shows the totals of VALUE and the page number.
constexpr const char* kTotals = R"({"procedure": "TotalsReport", "windows": [], "reports": [{
  "label": "P1$REPORT", "title": "Totals", "paper": [8500, 4000], "at": [500, 1000, 7000, 2000],
  "bands": [
    {"use": "?DETAIL", "kind": "detail", "at": [0, 0, 7000, 500], "controls": [
      {"use": "?VALUE", "kind": "string", "picture": "@n-6.1", "at": [0, 0, 1000, 200]}]},
    {"use": "?FOOTER", "kind": "footer", "at": [500, 2600, 7000, 1000], "controls": [
      {"use": "?AVG", "var": "VALUE", "kind": "string", "picture": "@n-6.1", "total": "average", "at": [0, 0, 1000, 200]},
      {"use": "?MIN", "var": "VALUE", "kind": "string", "picture": "@n-6.1", "total": "minimum", "at": [1000, 0, 1000, 200]},
      {"use": "?MAX", "var": "VALUE", "kind": "string", "picture": "@n-6.1", "total": "maximum", "at": [2000, 0, 1000, 200]},
      {"use": "?SUM", "var": "VALUE", "kind": "string", "picture": "@n-6.1", "total": "sum", "at": [3000, 0, 1000, 200]},
      {"use": "?COUNT", "kind": "string", "picture": "@n4", "total": "count", "at": [4000, 0, 1000, 200]},
      {"use": "?PAGENO", "kind": "string", "picture": "@N3", "at": [5000, 0, 1000, 200]}]}]}]})";

// A detail band of 40 rows, 400 apart, longer than the 11 in paper (three pieces of up to 7 in);
// a box across the first piece's end, which must not be cut; two check boxes at the top.
std::string longLayout() {
    std::string rows;
    for (int i = 0; i < 40; ++i)
        rows += R"(, {"use": "?ROW)" + std::to_string(i) + R"(", "kind": "string", "text": "row )" + std::to_string(i) +
                R"(", "at": [0, )" + std::to_string(1000 + i * 400) + R"(, 2000, 200]})";
    return R"({"procedure": "LongReport", "windows": [], "reports": [{
  "label": "P1$REPORT", "at": [1000, 2000, 6500, 7000],
  "bands": [
    {"use": "?HEADER", "kind": "header", "at": [1000, 500, 6500, 900], "controls": [
      {"use": "?PAGE", "kind": "string", "picture": "pPage <<#p", "at": [0, 0, 2000, 200]}]},
    {"use": "?DETAIL", "kind": "detail", "at": [0, 0, 6500, 17000], "controls": [
      {"use": "?DONE", "kind": "check", "text": "Done", "at": [0, 0, 2000, 200]},
      {"use": "?LOWER", "var": "DONE", "kind": "check", "text": "Lower", "value": "y", "at": [2500, 0, 2000, 200]},
      {"kind": "box", "at": [3000, 6000, 2000, 1300]})" +
           rows + R"(]},
    {"use": "?FOOTER", "kind": "footer", "at": [1000, 9500, 6500, 300]}]}]})";
}

// A band taller than the detail area that fits the paper below it is printed whole, as before.
constexpr const char* kTall = R"({"procedure": "TallReport", "windows": [], "reports": [{
  "label": "P1$REPORT", "at": [1000, 2000, 6500, 7000],
  "bands": [
    {"use": "?DETAIL", "kind": "detail", "at": [0, 0, 6500, 7320], "controls": [
      {"use": "?TOP", "kind": "string", "text": "top", "at": [0, 0, 1000, 200]},
      {"kind": "box", "at": [0, 4200, 4000, 3000]},
      {"use": "?LAST", "kind": "string", "text": "last", "at": [0, 7100, 1000, 200]}]},
    {"use": "?FOOTER", "kind": "footer", "at": [1000, 9000, 6500, 1000]}]}]})";

std::unique_ptr<wnd::ReportLayout> parse(const std::string& json) {
    std::string error;
    auto layout = wnd::ParseLayout(json, &error);
    EXPECT_TRUE(layout) << error;
    if (!layout || layout->reports.empty()) return nullptr;
    return std::make_unique<wnd::ReportLayout>(layout->reports.front());
}

Texts texts(const wnd::Page& page) {
    Texts out;
    for (const wnd::PageItem& i : page.items)
        if (i.kind == wnd::PageItem::Kind::Text) out.push_back(i.text);
    return out;
}

const wnd::PageItem* find(const wnd::Page& page, const std::string& text) {
    for (const wnd::PageItem& i : page.items)
        if (i.kind == wnd::PageItem::Kind::Text && i.text == text) return &i;
    return nullptr;
}

// The strokes drawn inside a check box's square (the box just before its label).
int ticks(const wnd::Page& page, const std::string& label) {
    const auto at = std::find_if(page.items.begin(), page.items.end(), [&](const wnd::PageItem& i) { return i.text == label; });
    auto box = at;
    while (box != page.items.begin() && (--box)->kind != wnd::PageItem::Kind::Box) {
    }
    if (at == page.items.end() || box->kind != wnd::PageItem::Kind::Box) return -1;
    return static_cast<int>(std::count_if(box, at, [&](const wnd::PageItem& i) {
        return i.kind == wnd::PageItem::Kind::Line && i.at.x >= box->at.x && i.at.x <= box->at.x + box->at.width;
    }));
}

TEST(ReportEngine, FooterTotalsCoverEveryDetailUpToTheEndOfTheirPage) {
    auto layout = parse(kTotals);
    ASSERT_TRUE(layout);
    wnd::Report report(*layout);
    double value = 0;
    ASSERT_EQ(report.Bind("VALUE", wnd::UseVariable::Real(value)), 4 + 1);
    report.ShowPageNumber(report.Find("?PAGENO"));
    const int detail = report.Find("?DETAIL");
    for (double v : {120.0, 80.0, 100.0, 160.0, 0.0}) {
        value = v;
        report.PrintBand(detail);
    }
    report.EndPage();
    const auto pages = report.Pages();
    ASSERT_EQ(pages->pages.size(), 2u) << "the footer's top ends the detail area: three bands a page";
    // average, minimum, maximum, sum, count, page number
    EXPECT_EQ(texts(pages->pages[0]), (Texts{"120.0", "80.0", "100.0", "100.0", "80.0", "120.0", "300.0", "3", "1"}));
    EXPECT_EQ(texts(pages->pages[1]), (Texts{"160.0", "0.0", "92.0", "0.0", "160.0", "460.0", "5", "2"}))
        << "the last footer covers every detail; a blank value counts as 0";

    report.Discard();
    value = 42;
    report.PrintBand(detail);
    report.EndPage();
    EXPECT_EQ(texts(report.Pages()->pages[0]), (Texts{"42.0", "42.0", "42.0", "42.0", "42.0", "1", "1"}))
        << "a report started again counts afresh; one value is its own average, minimum and maximum";
}

TEST(ReportEngine, ALongBandRunsOnOverPagesBrokenBetweenItsControls) {
    auto layout = parse(longLayout());
    ASSERT_TRUE(layout);
    wnd::Report report(*layout);
    std::string done = "Y";
    report.Bind("DONE", wnd::UseVariable::Text(done));
    report.PrintBand(report.Find("?DETAIL"));
    report.PrintBand(report.Find("?DETAIL"));  // a second long band starts on a page of its own
    report.EndPage();
    const auto pages = report.Pages();
    ASSERT_EQ(pages->pages.size(), 6u);

    // The box from 6000 to 7300 would be cut at the first page's end (7 in): the first piece
    // ends above it, with rows 0 to 12, and the second piece starts with the box.
    const Texts first = texts(pages->pages[0]);
    EXPECT_EQ(first.front(), "Page 1");
    EXPECT_NE(std::find(first.begin(), first.end(), "row 12"), first.end());
    EXPECT_EQ(std::find(first.begin(), first.end(), "row 13"), first.end());
    const wnd::Page& second = pages->pages[1];
    ASSERT_NE(find(second, "row 13"), nullptr);
    EXPECT_EQ(find(second, "row 13")->at.y, 2000 + (1000 + 13 * 400 - 6000));
    const auto box = std::find_if(second.items.begin(), second.items.end(), [](const wnd::PageItem& i) { return i.kind == wnd::PageItem::Kind::Box; });
    ASSERT_NE(box, second.items.end());
    EXPECT_EQ(box->at.y, 2000);
    for (const wnd::Page& page : pages->pages)
        for (const wnd::PageItem& i : page.items) {
            if (i.kind == wnd::PageItem::Kind::Text && i.text.rfind("row", 0) == 0) {
                EXPECT_LE(i.at.y + i.at.height, 9000) << i.text;
            }
        }
    EXPECT_NE(find(pages->pages[2], "row 39"), nullptr);
    EXPECT_EQ(texts(pages->pages[3]).front(), "Page 4");
    EXPECT_NE(find(pages->pages[3], "Done"), nullptr) << "the second band begins its own page";

    // The check boxes: ticked only for exactly the value they name.
    EXPECT_EQ(ticks(pages->pages[0], "Done"), 2);
    EXPECT_EQ(ticks(pages->pages[0], "Lower"), 0) << "\"Y\" is not \"y\"";
}

TEST(ReportEngine, CheckBoxesTickOnlyForTheirValue) {
    auto layout = parse(longLayout());
    ASSERT_TRUE(layout);
    for (const char* value : {"N", "", " ", "y", "YES"}) {
        wnd::Report report(*layout);
        std::string done = value;
        report.Bind("DONE", wnd::UseVariable::Text(done));
        report.PrintBand(report.Find("?DETAIL"));
        report.EndPage();
        EXPECT_EQ(ticks(report.Pages()->pages[0], "Done"), 0) << "\"" << value << "\"";
    }
}

TEST(ReportEngine, ABandTallerThanTheAreaThatFitsThePaperPrintsWhole) {
    auto layout = parse(kTall);
    ASSERT_TRUE(layout);
    wnd::Report report(*layout);
    report.PrintBand(report.Find("?DETAIL"));
    report.PrintBand(report.Find("?DETAIL"));
    report.EndPage();
    const auto pages = report.Pages();
    ASSERT_EQ(pages->pages.size(), 2u) << "one band to a page";
    EXPECT_EQ(texts(pages->pages[0]), (Texts{"top", "last"}));
}

TEST(ReportEngine, TotalsAreCheckedWhenTheLayoutIsRead) {
    const char* wrong[] = {
        R"({"procedure": "P", "windows": [], "reports": [{"label": "R", "at": [0, 0, 10, 10], "bands": [
          {"kind": "footer", "controls": [{"kind": "string", "total": "median"}]}]}]})",
        R"({"procedure": "P", "windows": [], "reports": [{"label": "R", "at": [0, 0, 10, 10], "bands": [
          {"kind": "footer", "controls": [{"kind": "text", "total": "sum"}]}]}]})",
    };
    for (const char* json : wrong) {
        std::string error;
        EXPECT_FALSE(wnd::ParseLayout(json, &error));
        EXPECT_NE(error.find("total"), std::string::npos) << error;
    }
}

}  // namespace
