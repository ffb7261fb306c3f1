#include "platform/qt/picture_book.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QString>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

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
void paintPicture(QPaintDevice& device, QSize size, const Picture& picture) {
    QPainter p(&device);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QSizeF canvas = picture.canvas;
    const double scale = std::min(size.width() / canvas.width(), size.height() / canvas.height());
    p.translate((size.width() - canvas.width() * scale) / 2, (size.height() - canvas.height() * scale) / 2);
    p.scale(scale, scale);
    picture.draw(p);
}

// A drawn pixmap as the icon mode shows it: greyed by the style when disabled, else as drawn.
QPixmap inIconMode(QPixmap drawn, QIcon::Mode mode) {
    if (mode != QIcon::Disabled) return drawn;
    QStyleOption option;
    option.palette = QApplication::palette();
    return QApplication::style()->generatedIconPixmap(QIcon::Disabled, drawn, &option);
}

// An icon that draws its picture afresh at each size asked for, so it is sharp on any button.
class DrawnEngine final : public QIconEngine {
public:
    explicit DrawnEngine(Picture picture) : picture_(std::move(picture)) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * ratio, mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, pm);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (size.isEmpty()) return {};
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        paintPicture(pm, size, picture_);
        return inIconMode(std::move(pm), mode);
    }
    QIconEngine* clone() const override { return new DrawnEngine(picture_); }
    QString key() const override { return QStringLiteral("qtp.drawn"); }

private:
    Picture picture_;
};

}  // namespace

QIcon DrawnIcon(QSizeF canvas, PictureDrawing draw) {
    if (canvas.isEmpty() || !draw) return {};
    return QIcon(new DrawnEngine(Picture{canvas, std::move(draw), {}}));  // the icon owns its engine
}

void AddPicture(std::string_view name, QSizeF canvas, PictureDrawing draw) {
    PictureBook::instance().add(name, canvas, std::move(draw));
}

QPixmap DrawnPicture(std::string_view name, QSize size) {
    Picture picture;
    if (size.isEmpty() || !PictureBook::instance().find(name, &picture)) return {};
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    paintPicture(pm, size, picture);
    return pm;
}

QImage PictureOnWhite(std::string_view name) {
    Picture picture;
    if (!PictureBook::instance().find(name, &picture)) return {};
    if (!picture.onWhite.isNull()) return picture.onWhite;
    QImage image(picture.canvas.toSize(), QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.fill(Qt::white);
    paintPicture(image, image.size(), picture);
    PictureBook::instance().keepOnWhite(name, image);
    return image;
}

QIcon PictureIcon(std::string_view name) {
    Picture picture;
    if (!PictureBook::instance().find(name, &picture)) return {};
    return DrawnIcon(picture.canvas, std::move(picture.draw));
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
