#include "platform/qt/window_font.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace qtp {

namespace {
const QString kFallbackFamily = QStringLiteral("DejaVu Sans");
const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
}  // namespace

QString InstalledFamily(const std::string& name) {
    const QStringList families = QFontDatabase::families();
    const QString named = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (!named.isEmpty() && families.contains(named, Qt::CaseInsensitive)) return named;
    if (families.contains(kFallbackFamily)) return kFallbackFamily;
    return {};
}

DialogUnits DialogUnits::Of(const QFont& font) {
    const QFontMetricsF fm(font);
    DialogUnits u;
    u.letterWidth = std::max(1.0, fm.horizontalAdvance(kLetters) / kLetters.size());
    u.height = std::max(1, QFontMetrics(font).height());
    return u;
}

int DialogUnits::ToPixelsX(int units) const { return static_cast<int>(std::lround(units * letterWidth / 4)); }
int DialogUnits::ToPixelsY(int units) const { return static_cast<int>(std::lround(units * height / 8.0)); }
int DialogUnits::FromPixelsX(int pixels) const { return static_cast<int>(std::floor(pixels * 4 / letterWidth + 1e-9)); }
int DialogUnits::FromPixelsY(int pixels) const { return pixels * 8 / height; }

}  // namespace qtp
