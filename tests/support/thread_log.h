#pragma once
// What windows on task threads did, in order, for a test on another thread to read.
#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

class ThreadLog {
public:
    void Add(std::string line) {
        std::lock_guard lock(mutex_);
        lines_.push_back(std::move(line));
    }
    bool Has(const std::string& line) const {
        std::lock_guard lock(mutex_);
        return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
    }
    std::vector<std::string> Lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    std::vector<std::string> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(lines_, {});
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace testing_support
