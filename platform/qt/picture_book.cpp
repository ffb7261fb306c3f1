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

// The program's pictures: added at start-up, read when windows open. What is found is copied out,
// so nothing is drawn under the lock.
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
    // The picture of that name (its drawing, canvas and, once drawn, its image on white).
    bool find(std::string_view name, Picture* out) const {
        std::lock_guard lock(mutex_);
        const auto it = pictures_.find(key(name));
        if (it == pictures_.end() || !it->second.draw || it->second.canvas.isEmpty()) return false;
        *out = it->second;
        return true;
    }
    void keepOnWhite(std::string_view name, const QImage& image) {
        std::lock_guard lock(mutex_);
        if (const auto it = pictures_.find(key(name)); it != pictures_.end()) it->second.onWhite = image;
    }

private:
    mutable std::mutex mutex_;
    std::map<QString, Picture> pictures_;
};

// Draws the picture scaled to fit the device, centred, on what the device holds already.
void paint(QPaintDevice& device, QSize size, const Picture& picture) {
    QPainter p(&device);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QSizeF canvas = picture.canvas;
    const double scale = std::min(size.width() / canvas.width(), size.height() / canvas.height());
    p.translate((size.width() - canvas.width() * scale) / 2, (size.height() - canvas.height() * scale) / 2);
    p.scale(scale, scale);
    picture.draw(p);
}

}  // namespace

void AddPicture(std::string_view name, QSizeF canvas, PictureDrawing draw) {
    PictureBook::instance().add(name, canvas, std::move(draw));
}

QPixmap DrawnPicture(std::string_view name, QSize size) {
    Picture picture;
    if (size.isEmpty() || !PictureBook::instance().find(name, &picture)) return {};
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    paint(pm, size, picture);
    return pm;
}

QImage PictureOnWhite(std::string_view name) {
    Picture picture;
    if (!PictureBook::instance().find(name, &picture)) return {};
    if (!picture.onWhite.isNull()) return picture.onWhite;
    QImage image(picture.canvas.toSize(), QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.fill(Qt::white);
    paint(image, image.size(), picture);
    PictureBook::instance().keepOnWhite(name, image);
    return image;
}

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
