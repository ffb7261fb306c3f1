#pragma once
// Test support: a temporary data folder, and message boxes that are recorded and answered by
// script instead of shown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/classes/error_reporter.h"
#include "platform/files/table_file.h"

namespace testing_support {

class TempDataFolder {
public:
    TempDataFolder() {
        char tmpl[] = "/tmp/prescripts-test-XXXXXX";
        const char* made = mkdtemp(tmpl);
        path_ = made ? made : "/tmp";
        files::SetDataFolder(path_);
    }
    ~TempDataFolder() {
        files::SetDataFolder("");
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct ShownMessage {
    int number = 0;
    std::string caption;
    std::string text;
};

// Records every message box; answers with the queued buttons, then with each box's default.
class MessageRecorder {
public:
    explicit MessageRecorder(cls::ErrorReporter& reporter) : reporter_(reporter) {
        reporter_.SetPresenter([this](const cls::MessageBoxRequest& r) {
            std::function<void(int)> shown;
            unsigned answer = r.defaultButton ? r.defaultButton : static_cast<unsigned>(cls::kButtonOk);
            {
                std::lock_guard lock(mutex_);
                shown_.push_back({r.messageNumber, r.caption, r.text});
                if (!answers_.empty()) {
                    answer = answers_.front();
                    answers_.pop_front();
                }
                shown = onShown_;
            }
            if (shown) shown(r.messageNumber);
            return answer;
        });
        previousFatal_ = reporter_.SetFatalHandler([this](int number) {
            std::function<void(int)> passOn;
            {
                std::lock_guard lock(mutex_);
                fatal_.push_back(number);
                if (passFatalOn_) passOn = previousFatal_;
            }
            if (passOn) passOn(number);
        });
    }
    ~MessageRecorder() {
        reporter_.SetPresenter(nullptr);
        reporter_.SetFatalHandler(std::move(previousFatal_));
    }
    // A fatal message also does what it does in the program (ends it), after being recorded.
    void passFatalOn() {
        std::lock_guard lock(mutex_);
        passFatalOn_ = true;
    }
    // Runs on the asking thread while a box is up, before its answer goes back.
    void onShown(std::function<void(int number)> hook) {
        std::lock_guard lock(mutex_);
        onShown_ = std::move(hook);
    }
    void answer(unsigned button) {
        std::lock_guard lock(mutex_);
        answers_.push_back(button);
    }
    std::vector<ShownMessage> shown() const {
        std::lock_guard lock(mutex_);
        return shown_;
    }
    std::vector<int> numbers() const {
        std::lock_guard lock(mutex_);
        std::vector<int> n;
        for (const auto& m : shown_) n.push_back(m.number);
        return n;
    }
    std::vector<int> fatal() const {
        std::lock_guard lock(mutex_);
        return fatal_;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        shown_.clear();
    }

private:
    cls::ErrorReporter& reporter_;
    mutable std::mutex mutex_;
    std::deque<unsigned> answers_;
    std::vector<ShownMessage> shown_;
    std::vector<int> fatal_;
    std::function<void(int)> onShown_;
    std::function<void(int)> previousFatal_;
    bool passFatalOn_ = false;
};

}  // namespace testing_support
