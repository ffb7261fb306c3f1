#include "platform/qt/wallpaper.h"

#include <QEvent>
#include <QMdiArea>
#include <QPainter>
#include <QPixmap>
#include <QPointer>

#include "platform/qt/picture_book.h"

namespace qtp {
namespace {

// Keeps the MDI area's ground in step with its size.
class WallpaperKeeper final : public QObject {
public:
    WallpaperKeeper(QMdiArea& area, QImage picture) : QObject(&area), area_(&area), picture_(std::move(picture)) {
        area.viewport()->installEventFilter(this);
        apply();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize && area_ && watched == area_->viewport()) apply();
        return false;
    }

private:
    void apply() {
        if (!area_) return;
        const QSize size = area_->viewport()->size().expandedTo(QSize(1, 1));
        QPixmap ground(size);
        ground.fill(Qt::white);
        QPainter p(&ground);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize shown = picture_.size().width() > size.width() || picture_.size().height() > size.height()
                                ? picture_.size().scaled(size, Qt::KeepAspectRatio)
                                : picture_.size();
        p.drawImage(QRect(QPoint((size.width() - shown.width()) / 2, (size.height() - shown.height()) / 2), shown), picture_);
        p.end();
        area_->setBackground(ground);
    }

    QPointer<QMdiArea> area_;
    QImage picture_;
};

}  // namespace

QImage Wallpaper(std::string_view name) { return PictureOnWhite(name); }

void ShowWallpaper(QMdiArea& area, const QImage& picture) {
    if (!picture.isNull()) new WallpaperKeeper(area, picture);  // owned by the area
}

}  // namespace qtp
