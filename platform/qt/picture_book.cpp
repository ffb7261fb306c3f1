#include "platform/qt/picture_book.h"

#include <QPainter>
#include <QString>

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/runtime/program_services.h"

namespace qtp {
namespace {

struct Picture {
    QSizeF canvas;
    PictureDrawing draw;
    QImage onWhite;  // drawn on first use
};

QString key(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toLower();
}

// The program's pictures: added at start-up, read when windows open.
class PictureBook {
public:
    static PictureBook& instance() {
        static PictureBook book;
        return book;
    }
    void add(std::string_view name, QSizeF canvas, PictureDrawing draw) {
        std::lock_guard lock(mutex_);
        pictures_[key(name)] = Picture{canvas, std::move(draw), {}};
    }
    // The drawing and its canvas, copied out so nothing is drawn under the lock.
    bool find(std::string_view name, QSizeF& canvas, PictureDrawing& draw) const {
        std::lock_guard lock(mutex_);
        const auto it = pictures_.find(key(name));
        if (it == pictures_.end() || !it->second.draw) return false;
        canvas = it->second.canvas;
        draw = it->second.draw;
        return true;
    }
    QImage onWhite(std::string_view name) {
        QSizeF canvas;
        PictureDrawing draw;
        {
            std::lock_guard lock(mutex_);
            const auto it = pictures_.find(key(name));
            if (it == pictures_.end() || !it->second.draw) return {};
            if (!it->second.onWhite.isNull()) return it->second.onWhite;
            canvas = it->second.canvas;
            draw = it->second.draw;
        }
        QImage image(canvas.toSize(), QImage::Format_RGB32);
        if (image.isNull()) return {};
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            draw(p);
        }
        std::lock_guard lock(mutex_);
        const auto it = pictures_.find(key(name));
        if (it != pictures_.end()) it->second.onWhite = image;
        return image;
    }

private:
    mutable std::mutex mutex_;
    std::map<QString, Picture> pictures_;
};

}  // namespace

void AddPicture(std::string_view name, QSizeF canvas, PictureDrawing draw) {
    PictureBook::instance().add(name, canvas, std::move(draw));
}

QPixmap DrawnPicture(std::string_view name, QSize size) {
    if (size.isEmpty()) return {};
    QSizeF canvas;
    PictureDrawing draw;
    if (!PictureBook::instance().find(name, canvas, draw) || canvas.isEmpty()) return {};
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double scale = std::min(size.width() / canvas.width(), size.height() / canvas.height());
    p.translate((size.width() - canvas.width() * scale) / 2, (size.height() - canvas.height() * scale) / 2);
    p.scale(scale, scale);
    draw(p);
    return pm;
}

QImage PictureOnWhite(std::string_view name) { return PictureBook::instance().onWhite(name); }

QIcon ProgramIcon() {
    const std::string name = rt::ProgramIcon();
    QIcon icon;
    if (name.empty()) return icon;
    for (int size : {16, 24, 32, 48, 64}) {
        const QPixmap pm = DrawnPicture(name, QSize(size, size));
        if (pm.isNull()) return QIcon();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace qtp
