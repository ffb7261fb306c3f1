#include "platform/qt/whole_words.h"

#include <QTextBoundaryFinder>

namespace qtp {

QString KeepWordsWhole(const QString& text) {
    constexpr QChar kWordJoiner(0x2060);
    QString out;
    out.reserve(text.size() + text.size() / 8);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype from = 0;
    for (qsizetype at = breaks.toNextBoundary(); at > 0 && at < text.size(); at = breaks.toNextBoundary()) {
        out += QStringView(text).mid(from, at - from);
        from = at;
        if (!text[at - 1].isSpace() && !text[at].isSpace() && text[at - 1] != kWordJoiner) out += kWordJoiner;
    }
    out += QStringView(text).mid(from);
    return out;
}

}  // namespace qtp
