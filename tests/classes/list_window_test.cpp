// The list-window pattern on the headless presenter: a test list of a small table with two sort
// orders and its test form, each run as the program runs them (the list on a task thread of its
// own, the form nested on the list's thread).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/classes/list_procedure.h"
#include "platform/headless/scripted_user.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/layout.h"
#include "platform/window/list_format.h"
#include "platform/window/task_queue.h"
#include "support/program_fixture.h"
#include "support/close_all_windows.h"

namespace {

#pragma pack(push, 1)
struct Thing {
    std::int32_t NUM;
    char NAME[20];
    char CITY[10];
};
struct Fmt {
    char APP[30], PROC[30];
    std::int16_t USER, CTRL, FID;
    char FNAME[30];
    std::uint8_t FLAG;
    char FORMAT[5120], VARLINE[2048];
};
#pragma pack(pop)

using FT = rt::FieldType;
const rt::FieldDesc kThingFields[] = {{1, "TST:NUM", FT::Long, 4, 0}, {2, "TST:NAME", FT::String, 20, 4}, {3, "TST:CITY", FT::String, 10, 24}};
const rt::TableDesc& thingTable() {
    // Key 0 by name; key 1 by city, which leaves out records without a city.
    static const std::vector<rt::KeyDesc> keys = {{"TST:BYNAME", "TST:ByName", {{2, false}}}, {"TST:BYCITY", "TST:ByCity", {{3, false}}}};
    static const rt::TableDesc d{"Things", "TST", "things", sizeof(Thing), kThingFields, keys, nullptr};
    return d;
}
const rt::FieldDesc kFmtFields[] = {
    {1, "CFG:APPNAME", FT::String, 30, 0},  {2, "CFG:PROCID", FT::String, 30, 30},   {3, "CFG:USERID", FT::Short, 2, 60},
    {4, "CFG:CTRLID", FT::Short, 2, 62},    {5, "CFG:FORMATID", FT::Short, 2, 64},   {6, "CFG:FORMATNAME", FT::String, 30, 66},
    {7, "CFG:FLAG", FT::Byte, 1, 96},       {8, "CFG:FORMAT", FT::String, 5120, 97}, {9, "CFG:VARLINE", FT::String, 2048, 5217}};
const rt::TableDesc& formatTable() {
    static const std::vector<rt::KeyDesc> keys = {
        {"CFG:KEY_MAIN", "CFG:KEY_MAIN", {{1, false}, {2, false}, {3, false}, {4, false}, {5, false}}, false}};
    static const rt::TableDesc d{"ListFormats", "CFG", "Formats.FDB", sizeof(Fmt), kFmtFields, keys, nullptr};
    return d;
}

constexpr const char* kListLayout = R"({"procedure": "TestList", "windows": [{
  "label": "P1$QUICKWINDOW", "caption": "Test list", "kind": "mdi", "at": [0, 0, 300, 200],
  "controls": [
    {"use": "?List", "kind": "list", "at": [8, 20, 280, 112],
     "format": "60L(2)|M~Name~@s20@40R(2)|M~Number~C(0)@n6@50L(2)|M~City~@s10@"},
    {"use": "?Select", "kind": "button", "text": "&Select"},
    {"use": "?View", "kind": "button", "text": "&View", "hide": true},
    {"use": "?Insert", "kind": "button", "text": "&Insert"},
    {"use": "?Change", "kind": "button", "text": "&Change", "default": true},
    {"use": "?Delete", "kind": "button", "text": "&Delete"},
    {"use": "?Sheet", "kind": "sheet", "controls": [
      {"use": "?TabName", "kind": "tab", "text": "&1) By Name"},
      {"use": "?TabCity", "kind": "tab", "text": "&2) By City"}]},
    {"use": "?Close", "kind": "button", "text": "&Close"}]}]})";

constexpr const char* kFormLayout = R"({"procedure": "TestForm", "windows": [{
  "label": "P1$WINDOW", "caption": "Test form", "kind": "mdi", "at": [0, 0, 200, 80],
  "controls": [
    {"use": "?TST:NAME", "kind": "entry", "picture": "@s20"},
    {"use": "?TST:CITY", "kind": "entry", "picture": "@s10"},
    {"use": "?OK", "kind": "button", "text": "&OK"},
    {"use": "?Cancel", "kind": "button", "text": "Cancel"}]}]})";

cls::ErrorReporter& reporter() {
    static cls::ErrorReporter r;
    return r;
}
thread_local std::uint8_t tRequest = 0, tResponse = 0;
thread_local std::int32_t tNavigation = 0;
std::atomic<int> gFormRequest{0};

cls::ProcedureServices services() {
    cls::ProcedureServices s;
    s.errors = &reporter();
    s.callRequest = &tRequest;
    s.callResponse = &tResponse;
    s.navigationRequest = &tNavigation;
    return s;
}

// The list thread's table objects.
struct Tables {
    Thing rec{};
    Fmt fmt{};
    files::TableFile file{thingTable(), &rec, nullptr};
    files::TableFile formats{formatTable(), &fmt, nullptr};
    cls::TableAccessor accessor;
    cls::TableGroup group;
    Tables() {
        accessor.BUFFER = {&rec, &thingTable(), sizeof rec, nullptr};
        accessor.FILENAMEVALUE = "Things";
        accessor.Initialise();
        accessor.Attach(&file, &reporter());
        accessor.CREATE = 1;
        group.Initialise(&accessor, 0);
    }
};

// OK writes what the request asks (add, put, erase) and completes; Cancel cancels.
class FormController final : public cls::ProcedureController {
public:
    FormController(cls::ProcedureBody& body, Tables& t) : ProcedureController(body), t_(t) {}

protected:
    int BeforeTables() override {
        gFormRequest = REQUEST;
        AddButtonAction(window().Find("?Cancel"), cls::kResponseCancelled);
        return cls::kLevelGoOn;
    }
    int OnAccepted() override {
        if (int r = ProcedureController::OnAccepted()) return r;
        if (window().control() != window().Find("?OK")) return cls::kLevelGoOn;
        const int e = REQUEST == cls::kRequestInsert ? t_.file.add()
                      : REQUEST == cls::kRequestChange ? t_.file.put()
                      : REQUEST == cls::kRequestDelete ? t_.file.erase() : 0;
        CloseWith(e == 0 ? cls::kResponseCompleted : cls::kResponseCancelled);
        return cls::kLevelHandled;
    }

private:
    Tables& t_;
};

class ListController final : public cls::ListProcedureController {
public:
    ListController(cls::ProcedureBody& body, Tables& t)
        : ListProcedureController(body, t.group, t.file,
                                  {.list = "?List", .select = "?Select", .insert = "?Insert", .change = "?Change",
                                   .remove = "?Delete", .view = "?View", .close = "?Close", .help = ""}),
          t_(t) {
        AddOrder(1, &byCity_);
        AddOrder(0, &byName_);  // the default: the first tab's
        MapTab("?TabCity", 1);
        for (int f : {1, 0, 2}) AddColumn(kThingFields[f]);  // name, number, city
        AddColumn(kThingFields[0]);                          // a column the list keeps without showing
        UseListFormats(&t.formats, "TESTAPP", 1, 3, "Tests");
    }

protected:
    bool RunUpdater(int) override {
        cls::ProcedureBody body(services(), "TestForm", "P1$WINDOW");
        body.window().BindRecord(thingTable(), &t_.rec);
        body.Run<FormController>(t_);
        return true;
    }

private:
    Tables& t_;
    cls::TextThumbStep byCity_, byName_;
};

void TestList() {
    {
        Tables t;
        cls::ProcedureBody body(services(), "TestList", "P1$QUICKWINDOW");
        body.Run<ListController>(t);
    }
    files::ReleaseThreadConnections();
}

// A caller that asks the list for a record (select mode) and keeps the answer.
std::atomic<int> gSelectResponse{-1};
std::mutex gSelectedMutex;
std::string gSelected;
void SelectFromList() {
    {
        Tables t;
        tRequest = cls::kRequestSelect;
        cls::ProcedureBody body(services(), "TestList", "P1$QUICKWINDOW");
        const int response = body.Run<ListController>(t);
        std::lock_guard lock(gSelectedMutex);
        gSelected = rt::rtrim(std::string_view(t.rec.NAME, sizeof t.rec.NAME));
        gSelectResponse = response;
    }
    files::ReleaseThreadConnections();
}

using Rows = std::vector<std::vector<std::string>>;

class ListWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        reporter().Init(nullptr, [] {
            thread_local cls::ErrorState s;
            return &s;
        });
        std::string error;
        ASSERT_TRUE(wnd::RegisterLayout(kListLayout, &error)) << error;
        ASSERT_TRUE(wnd::RegisterLayout(kFormLayout, &error)) << error;
    }
    void SetUp() override { wnd::SetPresenter(presenter_); }
    void TearDown() override {
        testing_support::CloseAllWindows([] { rt::WaitForTaskThreads(); });
        wnd::SetPresenter(nullptr);
        files::ReleaseThreadConnections();
    }
    // Records named as given; "name/city".
    void fill(const std::vector<std::string>& things) {
        Thing rec{};
        files::TableFile f(thingTable(), &rec, nullptr);
        ASSERT_EQ(f.create(), 0);
        ASSERT_EQ(f.open(), 0);
        ASSERT_EQ(f.begin(5), 0);
        int n = 0;
        for (const std::string& s : things) {
            const auto slash = s.find('/');
            rec.NUM = ++n;
            rt::assign(rec.NAME, s.substr(0, slash));
            rt::assign(rec.CITY, slash == std::string::npos ? "" : s.substr(slash + 1));
            ASSERT_EQ(f.add(), 0);
        }
        ASSERT_EQ(f.commit(), 0);
    }
    hl::UserWindow open() {
        EXPECT_NE(wnd::StartTask(TestList, 50000), 0);
        return user_.Find("TestList");
    }
    static std::vector<std::string> names(const Rows& rows) {
        std::vector<std::string> out;
        for (const auto& r : rows) out.push_back(r.at(0));
        return out;
    }
    static std::string highlighted(const hl::UserWindow& w) {
        const Rows rows = w.Rows("?List");
        const int c = w.Choice("?List");
        return c >= 1 && c <= static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(c - 1)][0] : "";
    }
    static int width(const hl::UserWindow& w, int column) {
        return wnd::ParseListFormat(w.Control("?List").format).at(static_cast<std::size_t>(column - 1)).width;
    }

    testing_support::TempDataFolder folder_;
    std::shared_ptr<hl::HeadlessPresenter> presenter_ = std::make_shared<hl::HeadlessPresenter>();
    hl::ScriptedUser user_{presenter_};
};

TEST_F(ListWindow, EmptyListOffersOnlyInsert) {
    auto w = open();
    EXPECT_TRUE(w.Rows("?List").empty());
    EXPECT_TRUE(w.Enabled("?Insert"));
    for (const char* b : {"?Change", "?Delete", "?View", "?Select"}) EXPECT_FALSE(w.Enabled(b)) << b;
    EXPECT_TRUE(w.Hidden("?Select"));
    EXPECT_EQ(w.Headers("?List"), (std::vector<std::string>{"Name", "Number", "City"}));
    w.PressKey('A');  // nothing to seek
    w.PressKey(wnd::kKeyApps);
    ASSERT_EQ(user_.Popups().size(), 1u);
    EXPECT_EQ(user_.Popups()[0].items, (std::vector<std::string>{"&Insert", "~&Change", "~&Delete", "~&View"}));
    EXPECT_THROW(user_.ChoosePopup("&Change"), std::runtime_error);
    user_.ChoosePopup("");
    EXPECT_FALSE(user_.Has("TestForm"));
}

TEST_F(ListWindow, FormCallsLeaveTheRecordInTheBufferHighlighted) {
    fill({"bravo/Oslo", "delta/Rome", "foxtrot/Bern"});
    auto w = open();
    EXPECT_EQ(names(w.Rows("?List")), (std::vector<std::string>{"bravo", "delta", "foxtrot"}));
    EXPECT_EQ(w.Rows("?List")[0], (std::vector<std::string>{"bravo", "1", "Oslo"}));  // through the pictures
    EXPECT_EQ(highlighted(w), "bravo");
    EXPECT_TRUE(w.Enabled("?Change"));

    struct Case {
        const char* button;  // or "dbl" for a double click on row 2
        const char* typed;   // nullptr: no typing
        bool ok;
        std::vector<std::string> rows;
        const char* after;
    } cases[] = {
        {"?Insert", "charlie", true, {"bravo", "charlie", "delta", "foxtrot"}, "charlie"},
        {"?Change", "zulu", true, {"bravo", "delta", "foxtrot", "zulu"}, "zulu"},
        {"dbl", "alpha", false, {"bravo", "delta", "foxtrot", "zulu"}, "delta"},   // cancelled: as it was
        {"?Insert", "echo", false, {"bravo", "delta", "foxtrot", "zulu"}, "delta"},
        {"?Delete", nullptr, true, {"bravo", "foxtrot", "zulu"}, "foxtrot"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + (c.typed ? c.typed : ""));
        if (std::string(c.button) == "dbl") w.DoubleClickRow("?List", 2);
        else w.Press(c.button);
        auto form = user_.Find("TestForm");
        EXPECT_EQ(gFormRequest, std::string(c.button) == "?Insert" ? 1 : std::string(c.button) == "?Delete" ? 3 : 2);
        if (c.typed) form.Type("?TST:NAME", c.typed);
        form.Press(c.ok ? "?OK" : "?Cancel");
        EXPECT_FALSE(user_.Has("TestForm"));
        EXPECT_EQ(names(w.Rows("?List")), c.rows);
        EXPECT_EQ(highlighted(w), c.after);
        EXPECT_EQ(w.Focus(), "?List");
        if (std::string(c.after) == "zulu") w.ChooseRow("?List", 2);  // delta, for the next steps
    }
}

TEST_F(ListWindow, TabsChooseOrdersAndTheSeekerFindsTheFirstLetter) {
    fill({"kilo/Rome", "alpha", "mike/Bern", "bravo/oslo", "golf/Rome"});
    auto w = open();
    EXPECT_EQ(names(w.Rows("?List")), (std::vector<std::string>{"alpha", "bravo", "golf", "kilo", "mike"}));
    w.PressKey('K');
    EXPECT_EQ(highlighted(w), "kilo");
    w.PressKey('B');
    EXPECT_EQ(highlighted(w), "bravo");
    w.ChooseTab("?TabCity");  // "alpha" has no city: the city key leaves it out
    EXPECT_EQ(names(w.Rows("?List")), (std::vector<std::string>{"mike", "bravo", "kilo", "golf"}));
    EXPECT_EQ(highlighted(w), "bravo");  // the highlighted record stays highlighted
    w.PressKey('R');
    EXPECT_EQ(highlighted(w), "kilo");
    w.PressKey('O');  // "oslo", sought without regard to case
    EXPECT_EQ(highlighted(w), "bravo");
    w.ChooseTab("?TabName");
    EXPECT_EQ(w.Rows("?List").size(), 5u);
}

TEST_F(ListWindow, RightButtonAddsTheFormatItemsAndViewOpensReadOnly) {
    fill({"alpha/Oslo", "bravo/Rome"});
    auto w = open();
    w.RightClickRow("?List", 2);
    EXPECT_EQ(highlighted(w), "bravo");
    ASSERT_EQ(user_.Popups().size(), 1u);
    EXPECT_EQ(user_.Popups()[0].items, (std::vector<std::string>{"&Insert", "&Change", "&Delete", "&View", "-",
                                                                  "List &Formats", "Format &Setup..."}));
    user_.ChoosePopup("&View");  // the View button is hidden; its item is not
    EXPECT_EQ(gFormRequest, cls::kRequestView);
    user_.Find("TestForm").Press("?Cancel");
    EXPECT_EQ(highlighted(w), "bravo");
    w.PressKey(wnd::kKeyApps);
    ASSERT_EQ(user_.Popups().size(), 1u);
    EXPECT_EQ(user_.Popups()[0].items, (std::vector<std::string>{"&Insert", "&Change", "&Delete", "&View"}));
    user_.ChoosePopup("");
}

TEST_F(ListWindow, EachTabKeepsItsColumnLayoutAcrossVisitsAndRuns) {
    fill({"alpha/Oslo", "a much longer name/Rome"});
    {
        auto w = open();
        w.ResizeColumn("?List", 1, 99);
        w.ChooseTab("?TabCity");
        EXPECT_EQ(width(w, 1), 99);  // the city tab's layout is made from the one shown
        w.DoubleClickHeader("?List", 1);  // widened to its contents
        EXPECT_EQ(width(w, 1), 18 * 4 + 2 + 4);
        w.ChooseTab("?TabName");
        EXPECT_EQ(width(w, 1), 99);
        w.Press("?Close");
        EXPECT_FALSE(user_.Has("TestList"));
    }
    auto w = open();
    EXPECT_EQ(width(w, 1), 99);
    w.ChooseTab("?TabCity");
    EXPECT_EQ(width(w, 1), 18 * 4 + 2 + 4);
}

TEST_F(ListWindow, SelectModeShowsSelectAndAnswersWithTheChosenRecord) {
    gFormRequest = 0;
    auto select = [&] {
        gSelectResponse = -1;
        EXPECT_NE(wnd::StartTask(SelectFromList, 50000), 0);
        return user_.Find("TestList");
    };
    auto answered = [&] {
        user_.WaitIdle();
        rt::WaitForTaskThreads();
        std::lock_guard lock(gSelectedMutex);
        return std::pair<int, std::string>(gSelectResponse, gSelected);
    };
    {
        auto w = select();  // an empty table: nothing to select
        EXPECT_FALSE(w.Hidden("?Select"));
        EXPECT_FALSE(w.Enabled("?Select"));
        w.Press("?Close");
        EXPECT_EQ(answered().first, cls::kResponseCancelled);
    }
    fill({"alpha/Oslo", "bravo/Rome", "charlie"});
    {
        auto w = select();
        EXPECT_TRUE(w.Enabled("?Select"));
        EXPECT_TRUE(w.Control("?Select").isDefault);
        w.PressKey(wnd::kKeyApps);
        ASSERT_EQ(user_.Popups().size(), 1u);
        EXPECT_EQ(user_.Popups()[0].items.back(), "&Select");
        user_.ChoosePopup("");
        w.DoubleClickRow("?List", 2);  // selects instead of changing
        EXPECT_EQ(gFormRequest, 0);
        EXPECT_EQ(answered(), (std::pair<int, std::string>(cls::kResponseCompleted, "bravo")));
    }
    {
        auto w = select();
        w.ChooseRow("?List", 3);
        w.Press("?Select");
        EXPECT_EQ(answered(), (std::pair<int, std::string>(cls::kResponseCompleted, "charlie")));
    }
    {
        auto w = select();
        w.ChooseRow("?List", 3);
        w.Press("?Close");
        EXPECT_EQ(answered().first, cls::kResponseCancelled);
    }
}

TEST_F(ListWindow, FormatSetupMovesRenamesAndWidensColumnsAndTheTabKeepsThem) {
    fill({"alpha/Oslo", "bravo/Rome"});
    testing_support::MessageRecorder messages(reporter());
    {
        auto w = open();
        w.RightClickRow("?List", 1);
        user_.ChoosePopup("Format &Setup...");
        auto s = user_.Find("Format Setup");
        EXPECT_TRUE(w.Inert());
        EXPECT_EQ(names(s.Rows("?COLUMNS")), (std::vector<std::string>{"Name", "Number", "City"}));
        s.ChooseRow("?COLUMNS", 2);
        EXPECT_EQ(s.Text("?HEADER"), "Number");
        s.Press("?UP");
        EXPECT_EQ(names(s.Rows("?COLUMNS")), (std::vector<std::string>{"Number", "Name", "City"}));
        EXPECT_EQ(s.Choice("?COLUMNS"), 1);
        EXPECT_FALSE(s.Enabled("?UP"));
        s.Fill("?HEADER", "No.");
        s.Fill("?WIDTH", "30");
        s.Fill("?WIDTH", "0");  // refused with a message; the column keeps 30
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_NE(messages.shown()[0].text.find("between 1 and"), std::string::npos);
        EXPECT_EQ(s.Rows("?COLUMNS")[0], (std::vector<std::string>{"No.", "30", "Right"}));
        s.Press("?OK");
        EXPECT_FALSE(user_.Has("Format Setup"));
        EXPECT_EQ(w.Headers("?List"), (std::vector<std::string>{"No.", "Name", "City"}));
        EXPECT_EQ(w.Rows("?List")[1].at(1), "bravo");  // the rows follow their columns
        EXPECT_EQ(width(w, 1), 30);
        w.DoubleClickHeader("?List", 2);  // widened to the names it shows, not to the numbers
        EXPECT_EQ(width(w, 2), 5 * 4 + 2 + 4);
        w.Press("?Close");
    }
    auto w = open();
    EXPECT_EQ(w.Headers("?List"), (std::vector<std::string>{"No.", "Name", "City"}));
    EXPECT_EQ(w.Rows("?List")[0].at(1), "alpha");
    // Cancel keeps the layout; the designed one can be brought back.
    w.RightClickRow("?List", 1);
    user_.ChoosePopup("Format &Setup...");
    user_.Find("Format Setup").Press("?DESIGNED");
    user_.Find("Format Setup").Press("?CANCEL");
    EXPECT_EQ(w.Headers("?List"), (std::vector<std::string>{"No.", "Name", "City"}));
    w.RightClickRow("?List", 1);
    user_.ChoosePopup("Format &Setup...");
    user_.Find("Format Setup").Press("?DESIGNED");
    user_.Find("Format Setup").Press("?OK");
    EXPECT_EQ(w.Headers("?List"), (std::vector<std::string>{"Name", "Number", "City"}));
}

TEST_F(ListWindow, ListFormatsShowsLocksAndRemovesTheListsLayouts) {
    fill({"alpha/Oslo", "bravo/Rome"});
    testing_support::MessageRecorder messages(reporter());
    const int designed = 60;
    {
        auto w = open();
        w.ChooseTab("?TabCity");
        w.ResizeColumn("?List", 1, 77);
        w.ChooseTab("?TabName");
        EXPECT_EQ(width(w, 1), designed);
        w.RightClickRow("?List", 1);
        user_.ChoosePopup("List &Formats");
        auto f = user_.Find("List Formats");
        EXPECT_EQ(f.Rows("?FORMATS"), (Rows{{"SortOrder1", "2", "Current"}, {"SortOrder2", "3", ""}}));
        EXPECT_EQ(f.Choice("?FORMATS"), 1);
        EXPECT_FALSE(f.Enabled("?DELETE"));  // the layout of the tab shown stays
        f.ChooseRow("?FORMATS", 2);
        f.Press("?SHOW");
        EXPECT_EQ(width(w, 1), 77);
        f.ChooseRow("?FORMATS", 1);
        f.Press("?LOCK");
        EXPECT_EQ(f.Rows("?FORMATS")[0].at(2), "Current, locked");
        EXPECT_EQ(f.Control("?LOCK").text, "Un&lock");
        f.ChooseRow("?FORMATS", 2);
        messages.answer(cls::kButtonYes);
        f.Press("?DELETE");
        EXPECT_EQ(f.Rows("?FORMATS"), (Rows{{"SortOrder1", "2", "Current, locked"}}));
        f.Press("?CLOSE");
        EXPECT_FALSE(user_.Has("List Formats"));
        w.Press("?Close");  // the locked layout keeps its width; the one shown goes to format 1000
    }
    auto w = open();
    EXPECT_EQ(width(w, 1), designed);
    w.RightClickRow("?List", 1);
    user_.ChoosePopup("List &Formats");
    auto f = user_.Find("List Formats");
    EXPECT_EQ(f.Rows("?FORMATS"), (Rows{{"SortOrder1", "2", "Current, locked"}, {"Current Format", "1000", ""}}));
    f.ChooseRow("?FORMATS", 2);
    f.Press("?SHOW");
    f.Press("?CLOSE");
    EXPECT_EQ(width(w, 1), 77);
}

TEST_F(ListWindow, KeysAndThumbMoveAPageAtATimeThroughTenThousandRows) {
    std::vector<std::string> things;
    char b[16];
    for (int i = 0; i < 10000; ++i) {
        std::snprintf(b, sizeof b, "n%05d", i);
        things.push_back(b);
    }
    fill(things);
    auto w = open();
    const std::size_t page = w.Rows("?List").size();
    EXPECT_EQ(page, 10u);
    w.PressKey(wnd::kKeyEnd);
    EXPECT_EQ(highlighted(w), "n09999");
    EXPECT_EQ(w.Control("?List").thumb, 100);
    EXPECT_EQ(w.Rows("?List").size(), page);
    w.PressKey(wnd::kKeyPageUp);
    EXPECT_EQ(highlighted(w), "n09989");
    w.PressKey(wnd::kKeyUp);
    EXPECT_EQ(highlighted(w), "n09988");
    w.PressKey(wnd::kKeyHome);
    EXPECT_EQ(highlighted(w), "n00000");
    EXPECT_EQ(w.Control("?List").thumb, 0);
    w.PressKey(wnd::kKeyDown);
    w.PressKey(wnd::kKeyPageDown);
    EXPECT_EQ(highlighted(w), "n00011");
    w.DragThumb("?List", 50);
    const std::string middle = highlighted(w);
    EXPECT_GT(middle, "n00011");
    EXPECT_LT(middle, "n09989");
    w.DragThumb("?List", 100);
    EXPECT_EQ(highlighted(w), "n09999");
}

TEST_F(ListWindow, AListBoxGivenMoreRoomShowsAsManyRowsAsFitAndPagesByThem) {
    std::vector<std::string> things;
    char b[16];
    for (int i = 0; i < 60; ++i) {
        std::snprintf(b, sizeof b, "n%05d", i);
        things.push_back(b);
    }
    fill(things);
    auto w = open();
    ASSERT_EQ(w.Rows("?List").size(), 10u);
    w.PressKey(wnd::kKeyDown);
    struct Case {
        int rows;
        std::size_t shown;
        const char* first;
    };
    // Grown (tiled, maximised), shrunk, then grown past the end of the table.
    for (const Case& c : {Case{25, 25, "n00000"}, Case{4, 4, "n00000"}, Case{80, 60, "n00000"}}) {
        SCOPED_TRACE(c.rows);
        w.FitRows("?List", c.rows);
        const Rows rows = w.Rows("?List");
        EXPECT_EQ(rows.size(), c.shown);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front().at(0), c.first);
        EXPECT_EQ(highlighted(w), "n00001");
    }
    // A page is now what the box shows.
    w.FitRows("?List", 20);
    w.PressKey(wnd::kKeyPageDown);
    EXPECT_EQ(w.Rows("?List").size(), 20u);
    EXPECT_EQ(highlighted(w), "n00021");
}

}  // namespace
