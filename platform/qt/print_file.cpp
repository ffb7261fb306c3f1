#include "platform/qt/print_file.h"

#include <QDir>
#include <QFileInfo>

namespace qtp {
namespace {

constexpr qsizetype kLongestStem = 100;  // with " (n).pdf" well under any file system's 255 bytes

bool safe(QChar c) {
    return c.isLetterOrNumber() || c == u' ' || QStringView(u"-_.,()'").contains(c);
}

QString trimmed(QString s) {
    qsizetype from = 0, to = s.size();
    while (from < to && (s[from] == u' ' || s[from] == u'.')) ++from;
    while (to > from && (s[to - 1] == u' ' || s[to - 1] == u'.')) --to;
    return s.mid(from, to - from);
}

}  // namespace

QString PrintFileStem(const QString& title) {
    QString stem;
    for (QChar c : title) {
        if (c.isSurrogate()) continue;  // letters beyond the first plane are left out whole
        if (!safe(c)) c = u' ';
        if (c == u' ' && (stem.isEmpty() || stem.back() == u' ')) continue;
        stem += c;
    }
    stem = trimmed(stem.left(kLongestStem));
    return stem.isEmpty() ? QStringLiteral("Report") : stem;
}

QString ProposePrintFile(const QString& folder, const QString& title, const std::set<QString>& taken) {
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    const QString stem = PrintFileStem(title);
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? stem + QStringLiteral(".pdf") : QStringLiteral("%1 (%2).pdf").arg(stem).arg(n);
        const QString path = QDir::cleanPath(dir.absoluteFilePath(name));
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink() && !taken.contains(path)) return path;
    }
}

}  // namespace qtp
