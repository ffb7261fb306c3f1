#include "platform/classes/migration_notice.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/window/layout_builder.h"
#include "platform/window/use_variable.h"
#include "platform/window/window.h"

namespace cls {
namespace {

// The reports' progress window, without its Cancel: a migration is one transaction that the
// file needs before anything can be read from it, so there is nothing to go back to.
wnd::WindowLayout progressLayout(const std::string& path) {
    wnd::WindowLayout l = wnd::MakePlainWindow("Migration", "P1$PROGRESSWINDOW", "Progress...", {0, 0, 142, 47});
    using K = wnd::ControlKind;
    l.controls.push_back(wnd::MakeControl(K::String, "?PROGRESS:USERSTRING", MigrationText(path), {15, 3, 111, 10}));
    l.controls.push_back(wnd::MakeControl(K::Progress, "?PROGRESS:THERMOMETER", "", {15, 15, 111, 12}));
    l.controls.back().var = "PROGRESS:THERMOMETER";  // the bar shows the thermometer variable
    l.controls.push_back(wnd::MakeControl(K::String, "?PROGRESS:PCTTEXT", "", {15, 30, 111, 10}));
    wnd::NumberControls(l);
    return l;
}

class Watch final : public files::MigrationWatch {
public:
    Watch(std::string path, std::chrono::milliseconds after)
        : path_(std::move(path)), openAt_(std::chrono::steady_clock::now() + after) {}

    void progress(double done) override {
        if (done >= 1) return;  // ended: the window closes with the watch
        if (!window_) {
            if (std::chrono::steady_clock::now() < openAt_) return;
            window_.emplace(progressLayout(path_));
            window_->Bind("PROGRESS:THERMOMETER", wnd::UseVariable::Long(thermometer_));
            window_->Open();
        }
        const auto percent = static_cast<std::int32_t>(std::floor(done * 100));
        if (percent == thermometer_ && shown_) return;
        thermometer_ = percent;
        shown_ = true;
        window_->SetText(window_->Find("?PROGRESS:PCTTEXT"), std::to_string(percent) + "% Complete");
        window_->Display();
    }

private:
    std::string path_;
    std::chrono::steady_clock::time_point openAt_;
    std::int32_t thermometer_ = 0;
    bool shown_ = false;
    std::optional<wnd::Window> window_;
};

}  // namespace

std::string MigrationText(const std::string& path) {
    return "Upgrading " + std::filesystem::path(path).filename().string() + "...";
}

files::MigrationObserver MigrationProgressWindows(std::chrono::milliseconds after) {
    return [after](const std::string& path) -> std::unique_ptr<files::MigrationWatch> { return std::make_unique<Watch>(path, after); };
}

void ShowMigrationProgress(std::chrono::milliseconds after) { files::SetMigrationObserver(MigrationProgressWindows(after)); }

}  // namespace cls
