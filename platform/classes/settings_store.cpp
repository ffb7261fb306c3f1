#include "platform/classes/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSettings>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <string>

namespace cls {
namespace {
const char* kSectors = "Sectors";
const char* kBookkeeping = "__Dont_Touch_Me__";

QString key(std::string_view section, std::string_view entry) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + "/" +
           QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
}
// The settings file is readable and writable by its owner only: made so before QSettings first
// writes it (its rewrites keep the mode of the file they replace), and an own file an earlier
// run left readable to others is made so too.
void keepPrivate(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;  // QSettings reports nothing either: the settings are then not kept
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 0077) != 0) (void)::fchmod(fd, 0600);
    ::close(fd);
}
}  // namespace

SettingsStore::SettingsStore() = default;
SettingsStore::~SettingsStore() = default;

void SettingsStore::Init(std::string_view name, Kind, Root) {
    std::lock_guard lock(mutex_);
    name_ = name;
    const QString n = QString::fromStdString(name_);
    // Kept per user in place of a machine-wide hive: nothing outside the user's own files is touched.
    settings_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, n, n);
    keepPrivate(settings_->fileName().toStdString());
    sections_.clear();
    const QString list = settings_->value(key(kSectors, kBookkeeping)).toString();
    for (const QString& s : list.split('|', Qt::SkipEmptyParts)) sections_.insert(s.toStdString());
}

bool SettingsStore::initialised() const {
    std::lock_guard lock(mutex_);
    return settings_ != nullptr;
}

void SettingsStore::writeSections() {
    QStringList list;
    for (const auto& s : sections_) list << QString::fromStdString(s);
    settings_->setValue(key(kSectors, kBookkeeping), list.join('|'));
}

void SettingsStore::TearDown() {
    std::lock_guard lock(mutex_);
    if (!settings_) return;
    writeSections();
    settings_->sync();
    settings_.reset();
}

std::string SettingsStore::Fetch(std::string_view section, std::string_view entry, std::string_view fallback) const {
    std::lock_guard lock(mutex_);
    if (!settings_) return std::string(fallback);
    const QVariant v = settings_->value(key(section, entry));
    return v.isValid() ? v.toString().toStdString() : std::string(fallback);
}

void SettingsStore::Update(std::string_view section, std::string_view entry, std::string_view value) {
    std::lock_guard lock(mutex_);
    if (!settings_) return;
    const QString k = key(section, entry);
    const QString v = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
    const bool newSection = sections_.insert(std::string(section)).second;
    const QVariant old = settings_->value(k);
    if (!newSection && old.isValid() && old.toString() == v) return;  // unchanged: nothing to write
    settings_->setValue(k, v);
    if (newSection) writeSections();
    settings_->sync();
}

std::set<std::string> SettingsStore::sections() const {
    std::lock_guard lock(mutex_);
    return sections_;
}

std::string SettingsStore::location() const {
    std::lock_guard lock(mutex_);
    return settings_ ? settings_->fileName().toStdString() : std::string();
}

}  // namespace cls
