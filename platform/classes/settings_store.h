#pragma once
// Named settings in sections, kept for the user between runs (the previewers' remembered settings).
// The store keeps its own list of the sections it holds in section "Sectors", entry
// "__Dont_Touch_Me__", read when initialised and kept current as sections are added.
// Backed by QSettings in the user's configuration folder. Safe to use from any thread. Every change
// is written to the file at once (the store lives on a thread with no event loop, where QSettings
// would otherwise write only when destroyed), so a run that is killed keeps what it changed; an
// update that changes nothing writes nothing.
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

class QSettings;

namespace cls {

class SettingsStore {
public:
    enum class Kind { Registry = 1, IniFile = 2 };
    enum class Root { ClassesRoot, CurrentUser, LocalMachine };

    SettingsStore();
    virtual ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    void Init(std::string_view name, Kind kind, Root root);
    bool initialised() const;
    void TearDown();

    std::string Fetch(std::string_view section, std::string_view entry, std::string_view fallback = {}) const;
    void Update(std::string_view section, std::string_view entry, std::string_view value);
    std::set<std::string> sections() const;
    // Where the values are kept (a file path).
    std::string location() const;

private:
    void writeSections();  // the section list into its entry; mutex_ held

    mutable std::mutex mutex_;
    std::unique_ptr<QSettings> settings_;
    std::set<std::string> sections_;
    std::string name_;
};

}  // namespace cls
