// Reports as the program runs them, on the headless presenter: a test report procedure over a small
// table, on a task thread of its own, with its progress window, its pages and the preview.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/classes/report_driver.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/layout.h"
#include "platform/window/task_queue.h"
#include "support/program_fixture.h"
#include "support/close_all_windows.h"

namespace {

#pragma pack(push, 1)
struct Thing {
    std::int32_t NUM;
    char NAME[20];
};
#pragma pack(pop)

using FT = rt::FieldType;
const rt::FieldDesc kFields[] = {{1, "TST:NUM", FT::Long, 4, 0}, {2, "TST:NAME", FT::String, 20, 4}};
enum Key { kByName = 0, kByNumberDown = 1 };
const rt::TableDesc& thingTable() {
    static const std::vector<rt::KeyDesc> keys = {{"TST:BYNAME", "TST:ByName", {{2, false}}},
                                                  {"TST:BYNUMDOWN", "TST:ByNumDown", {{1, true}}}};
    static const rt::TableDesc d{"Things", "TST", "things", sizeof(Thing), kFields, keys, nullptr};
    return d;
}

// Three detail bands of 2.3 in fit the 7 in detail area.
constexpr const char* kLayout = R"({"procedure": "TestReport",
  "windows": [{"label": "P1$PROGRESSWINDOW", "caption": "Progress...", "kind": "plain", "at": [142, 59],
    "controls": [
      {"use": "?PROGRESS:THERMOMETER", "kind": "progress", "at": [15, 15, 111, 12]},
      {"use": "?PROGRESS:USERSTRING", "kind": "string", "at": [0, 3, 141, 10]},
      {"use": "?PROGRESS:PCTTEXT", "kind": "string", "at": [0, 30, 141, 10]},
      {"use": "?PROGRESS:CANCEL", "kind": "button", "text": "Cancel", "at": [45, 42, 50, 15]}]}],
  "reports": [{"label": "P1$REPORT", "title": "Thing Report", "at": [1000, 2000, 6500, 7000],
    "font": {"name": "Arial", "points": 10},
    "bands": [
      {"use": "?HEADER", "kind": "header", "at": [1000, 1000, 6500, 1000], "controls": [
        {"use": "?TITLE", "kind": "string", "text": "Thing Report", "at": [0, 0, 6500, 300],
         "font": {"points": 14, "weight": 700}, "align": "C"},
        {"use": "?REPORTDATESTAMP", "kind": "string", "text": "<-- Date Stamp -->", "at": [0, 400, 2000, 200]}]},
      {"use": "?DETAIL", "kind": "detail", "at": [0, 0, 6500, 2300], "controls": [
        {"use": "?LABEL", "kind": "string", "text": "Name", "at": [0, 0, 1000, 200]},
        {"use": "?TST:NAME", "kind": "string", "picture": "@s20", "at": [1100, 0, 3000, 200]},
        {"use": "?TST:NUM", "kind": "string", "picture": "@n5", "at": [4200, 0, 1000, 200], "align": "R"},
        {"kind": "line", "at": [0, 2200, 6500, 0]}]},
      {"use": "?FOOTER", "kind": "footer", "at": [1000, 9000, 6500, 1000], "controls": [
        {"use": "?PAGECOUNT", "kind": "string", "picture": "pPage <<#p", "at": [0, 0, 6500, 200]}]}]}]})";

cls::ErrorReporter& reporter() {
    static cls::ErrorReporter r;
    return r;
}

// What the next report does, and what it saw; set and read only while no report runs.
struct Run {
    int key = kByName;
    std::string filter;
    std::string rangeName;  // a range on the name key, when set
    bool printNothing = false;
    int cancelAt = 0;  // the record at which the user presses Cancel
    bool closeDown = false;  // at cancelAt the program closes instead (every window asked to close)
    // Outcome.
    int response = -1;
    bool printed = false;
    std::vector<int> progress;
};
Run gRun;

struct Tables {
    Thing rec{};
    files::TableFile file{thingTable(), &rec, nullptr};
    cls::TableAccessor accessor;
    cls::TableGroup group;
    Tables() {
        accessor.BUFFER = {&rec, &thingTable(), sizeof rec, nullptr};
        accessor.FILENAMEVALUE = "Things";
        accessor.Initialise();
        accessor.Attach(&file, &reporter());
        group.Initialise(&accessor, 0);
    }
};

class ThingLoop final : public cls::RecordLoop {
public:
    ThingLoop(wnd::Report& report, wnd::Window& window) : report_(report), window_(window) {}
    int OnRecord() override {
        const int r = RecordLoop::OnRecord();
        gRun.progress.push_back(*PERCENTILE);
        if (gRun.cancelAt && RECORDSPROCESSED == gRun.cancelAt) {
            if (gRun.closeDown) window_.Post(wnd::Event::CloseDown);
            else window_.Post(wnd::Event::Accepted, window_.Find("?PROGRESS:CANCEL"));
            return cls::kLevelHandled;  // lets the window take the press before the next record
        }
        if (!gRun.printNothing) report_.PrintBand(report_.Find("?DETAIL"));
        return r;
    }

private:
    wnd::Report& report_;
    wnd::Window& window_;
};

class ThingReport final : public cls::ReportDriver {
public:
    ThingReport(cls::ProcedureBody& body, Tables& t, wnd::Report& report)
        : ReportDriver(body), t_(t), report_(report), reader_(t.file, &t.accessor), loop_(report, body.window()) {
        UseTable(&t.group);
    }

protected:
    void SetUpReport() override {
        reader_.UseOrder(gRun.key);
        const rt::FieldDesc* field = thingTable().field(gRun.key == kByName ? 2 : 1);
        cls::ThumbStep* step = &names_;
        if (gRun.key == kByName) names_.Initialise(5, 3);
        else step = &numbers_, numbers_.Initialise(20);
        loop_.Initialise(reader_, &t_.group, window().Find("?PROGRESS:PCTTEXT"), step, field, &THERMOMETER);
        if (!gRun.filter.empty()) {
            EXPECT_TRUE(reader_.SetStandardFilter(gRun.filter));
        }
        if (!gRun.rangeName.empty()) {
            rt::assign(t_.rec.NAME, gRun.rangeName);
            reader_.LimitOrder(*field);
        }
        Initialise(loop_, report_, preview_);
    }
    int StartReport() override {
        const int r = ReportDriver::StartReport();
        if (r == 0) report_.SetText(report_.Find("?REPORTDATESTAMP"), "12/10/2026");
        return r;
    }

private:
    Tables& t_;
    wnd::Report& report_;
    cls::ViewReader reader_;
    ThingLoop loop_;
    cls::TextThumbStep names_;
    cls::NumberThumbStep numbers_;
    cls::PagePreviewer preview_;
};

void TestReport() {
    {
        Tables t;
        thread_local std::uint8_t request = 0, response = 0;
        cls::ProcedureServices s;
        s.errors = &reporter();
        s.callRequest = &request;
        s.callResponse = &response;
        cls::ProcedureBody body(s, "TestReport", "P1$PROGRESSWINDOW");
        wnd::Report report("TestReport", "P1$REPORT");
        report.BindRecord(thingTable(), &t.rec);
        gRun.response = body.Run<ThingReport>(t, report);
    }
    files::ReleaseThreadConnections();
}

using Texts = std::vector<std::string>;

// The texts of a page, in the order they were placed.
Texts texts(const wnd::Page& page) {
    Texts out;
    for (const wnd::PageItem& i : page.items)
        if (i.kind == wnd::PageItem::Kind::Text) out.push_back(i.text);
    return out;
}

class Reports : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        reporter().Init(nullptr, [] {
            thread_local cls::ErrorState s;
            return &s;
        });
        std::string error;
        ASSERT_TRUE(wnd::RegisterLayout(kLayout, &error)) << error;
    }
    void SetUp() override {
        wnd::SetPresenter(presenter_);
        gRun = {};
    }
    void TearDown() override {
        testing_support::CloseAllWindows([] { rt::WaitForTaskThreads(); });
        wnd::SetPresenter(nullptr);
        files::ReleaseThreadConnections();
    }
    // The table holds `count` things afresh.
    void fill(int count) {
        Thing rec{};
        files::TableFile f(thingTable(), &rec, nullptr);
        ASSERT_EQ(f.create(), 0);
        ASSERT_EQ(f.open(), 0);
        ASSERT_EQ(f.begin(5), 0);
        ASSERT_EQ(f.setKeyOrder(-1), 0);
        while (f.next() == 0) ASSERT_EQ(f.erase(), 0);
        for (int n = 1; n <= count; ++n) {
            rec.NUM = n;
            rt::assign(rec.NAME, "thing " + std::string(1, static_cast<char>('a' + (n - 1) % 26)));
            ASSERT_EQ(f.add(), 0);
        }
        ASSERT_EQ(f.commit(), 0);
    }
    // Starts the report and waits until it has shown its preview or ended.
    void start() {
        ASSERT_NE(wnd::StartTask(TestReport, 0), 0);
        user_.WaitIdle();
    }
    int finish() {
        rt::WaitForTaskThreads();
        return gRun.response;
    }

    testing_support::TempDataFolder folder_;
    testing_support::MessageRecorder messages_{reporter()};
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
};

TEST_F(Reports, PagesHoldThreeBandsEachWithHeaderAndNumberedFooterAndThePreviewShowsThem) {
    fill(7);
    start();
    EXPECT_FALSE(user_.Has("Progress..."));
    auto preview = user_.Find("Report Preview");
    const auto pages = preview.Pages("?PAGES");
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->title, "Thing Report");
    ASSERT_EQ(pages->pages.size(), 3u);
    EXPECT_EQ(texts(pages->pages[0]), (Texts{"Thing Report", "12/10/2026", "Name", "thing a", "1", "Name", "thing b", "2",
                                              "Name", "thing c", "3", "Page 1"}));
    EXPECT_EQ(texts(pages->pages[2]), (Texts{"Thing Report", "12/10/2026", "Name", "thing g", "7", "Page 3"}));
    // The second band of a page lies right below the first, inside the detail area.
    const auto& items = pages->pages[0].items;
    EXPECT_EQ(items[2].at.y, 2000);
    EXPECT_EQ(items[6].at.y, 2000 + 2300);
    EXPECT_EQ(preview.Text("?PAGENUMBER"), "Page 1 of 3");
    preview.PressKey(wnd::kKeyPageDown);
    EXPECT_EQ(preview.Control("?PAGES").choice, 2);
    preview.Press("?EXIT");
    EXPECT_EQ(finish(), cls::kResponseCompleted) << "leaving the preview without printing is no failure";
    EXPECT_TRUE(user_.PrintRequests().empty());
    // The progress bar only ever went forward, and reached the end.
    EXPECT_TRUE(std::is_sorted(gRun.progress.begin(), gRun.progress.end()));
    EXPECT_EQ(gRun.progress.back(), 100);
}

TEST_F(Reports, LeavingThePreviewLetsItsPagesGo) {
    // However the preview is left, nothing keeps its pages once the report has ended: not the
    // window, not the presenter, not the print question.
    for (const bool print : {false, true}) {
        SCOPED_TRACE(print ? "printed" : "exit");
        fill(7);
        start();
        auto preview = user_.Find("Report Preview");
        const std::weak_ptr<const wnd::PageSet> held = preview.Pages("?PAGES");
        ASSERT_FALSE(held.expired());
        if (print) {
            preview.Press("?PRINT");
            user_.AnswerPrint(true);
        } else {
            preview.Press("?EXIT");
        }
        EXPECT_EQ(finish(), cls::kResponseCompleted);
        EXPECT_TRUE(held.expired());
    }
}

TEST_F(Reports, ADescendingKeyStillFillsTheProgressBarForward) {
    fill(5);
    gRun.key = kByNumberDown;
    start();
    auto preview = user_.Find("Report Preview");
    EXPECT_EQ(texts(preview.Pages("?PAGES")->pages[0])[3], "thing e");
    preview.Press("?EXIT");
    finish();
    ASSERT_EQ(gRun.progress.size(), 5u);
    EXPECT_TRUE(std::is_sorted(gRun.progress.begin(), gRun.progress.end()));
    EXPECT_GE(gRun.progress.front(), 1);
    EXPECT_EQ(gRun.progress.back(), 100);
}

TEST_F(Reports, PrintingChosenPagesFromThePreviewClosesIt) {
    fill(7);
    start();
    auto preview = user_.Find("Report Preview");
    preview.Press("?PAGESTOPRINT");
    auto ask = user_.Find("Pages to Print");
    EXPECT_EQ(ask.Text("?VALUE1"), "1-3");
    // Reset, Ok and Cancel, in that order from left to right and in the tab order.
    const wnd::ControlState reset = ask.Control("?EXTRA"), ok = ask.Control("?OK"), cancel = ask.Control("?CANCEL");
    EXPECT_EQ(reset.text, "&Reset");
    EXPECT_LT(reset.at.x, ok.at.x);
    EXPECT_LT(ok.at.x, cancel.at.x);
    EXPECT_LT(reset.number, ok.number);
    EXPECT_LT(ok.number, cancel.number);
    EXPECT_TRUE(ok.isDefault);
    ask.Fill("?VALUE1", "3, 1");
    ask.Press("?OK");
    preview.Press("?PRINT");
    auto requests = user_.PrintRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].selection, (std::vector<int>{3, 1}));
    EXPECT_EQ(requests[0].pages->pages.size(), 3u);
    EXPECT_EQ(requests[0].folder, folder_.path()) << "a print to a file goes beside the data files";
    user_.AnswerPrint(false);  // the print dialog cancelled: the preview stays
    EXPECT_TRUE(preview.Open());
    preview.Press("?PRINT");
    user_.AnswerPrint(true);
    EXPECT_FALSE(user_.Has("Report Preview"));
    EXPECT_EQ(finish(), cls::kResponseCompleted);
}

TEST_F(Reports, EnterAfterTypingAPageNumberJumpsThere) {
    fill(7);
    start();
    auto preview = user_.Find("Report Preview");
    preview.Press("?JUMP");
    auto ask = user_.Find("Jump to a Report Page");
    ask.Type("?VALUE1", "3");
    ask.PressKey(wnd::kKeyEnter);  // Ok is the default button
    EXPECT_FALSE(user_.Has("Jump to a Report Page"));
    EXPECT_EQ(preview.Text("?PAGENUMBER"), "Page 3 of 3");
    preview.Press("?EXIT");
    EXPECT_EQ(finish(), cls::kResponseCompleted);
}

TEST_F(Reports, NothingToPrintShowsNoPreview) {
    const struct {
        const char* what;
        int records;
        const char* filter;
        const char* range;
        bool printNothing;
        int cancelAt;
        int response;
        std::vector<int> messages;
        bool closeDown = false;
    } cases[] = {
        {"an empty table", 0, "", "", false, 0, cls::kResponseCancelled, {25}},
        {"a filter that matches nothing", 4, "TST:Num > 10", "", false, 0, cls::kResponseCancelled, {25}},
        {"a range that matches nothing", 4, "", "nobody", false, 0, cls::kResponseCancelled, {25}},
        {"every record passed over", 4, "", "", true, 0, cls::kResponseCompleted, {}},
        {"Cancel during the run", 30, "", "", false, 2, cls::kResponseCancelled, {}},
        {"the program closing during the run", 30, "", "", false, 2, cls::kResponseCancelled, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fill(c.records);
        gRun = {};
        gRun.filter = c.filter;
        gRun.rangeName = c.range;
        gRun.printNothing = c.printNothing;
        gRun.cancelAt = c.cancelAt;
        gRun.closeDown = c.closeDown;
        messages_.clear();
        start();
        EXPECT_FALSE(user_.Has("Report Preview"));
        EXPECT_EQ(finish(), c.response);
        EXPECT_EQ(messages_.numbers(), c.messages);
        EXPECT_TRUE(user_.PrintRequests().empty());
    }
}

TEST_F(Reports, AFilterAndARangeChooseTheRecords) {
    fill(6);
    gRun.filter = "TST:Num >= 2 and TST:Num <= 4";
    start();
    auto preview = user_.Find("Report Preview");
    EXPECT_EQ(texts(preview.Pages("?PAGES")->pages[0]),
              (Texts{"Thing Report", "12/10/2026", "Name", "thing b", "2", "Name", "thing c", "3", "Name", "thing d", "4", "Page 1"}));
    preview.Press("?EXIT");
    finish();
    gRun = {};
    gRun.rangeName = "THING E";  // the key ignores case
    start();
    auto ranged = user_.Find("Report Preview");
    EXPECT_EQ(texts(ranged.Pages("?PAGES")->pages[0])[3], "thing e");
    EXPECT_EQ(ranged.Pages("?PAGES")->pages.size(), 1u);
    ranged.Press("?EXIT");
    finish();
}

TEST(PageList, NamesPagesInOrderOnceEach) {
    std::string error;
    EXPECT_EQ(cls::PagePreviewer::ParsePageList("1-3, 5", 6, &error), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(cls::PagePreviewer::ParsePageList("4,2-4", 6, &error), (std::vector<int>{4, 2, 3}));
    for (const char* bad : {"", "0", "7", "3-2", "a", "1-", "2,,x"}) {
        error.clear();
        EXPECT_TRUE(cls::PagePreviewer::ParsePageList(bad, 6, &error).empty()) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

}  // namespace
