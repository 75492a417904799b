#include "svg_icon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <memory>

namespace {

class SvgIconEngine : public QIconEngine {
public:
    explicit SvgIconEngine(const QString& file) : fileName(file) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // size is in device pixels already.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State,
                         qreal scale) override
    {
        if (!renderer().isValid() || size.isEmpty())
            return QPixmap();
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        renderer().render(&painter, QRectF(picture.rect()));
        painter.end();
        if (mode == QIcon::Disabled || mode == QIcon::Selected) {
            QStyleOption option;
            option.palette = QApplication::palette();
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        picture.setDevicePixelRatio(scale);
        return picture;
    }

    QIconEngine* clone() const override { return new SvgIconEngine(fileName); }
    QString key() const override { return QStringLiteral("quorix-svg"); }
    bool isNull() override { return !renderer().isValid(); }

private:
    QSvgRenderer& renderer()
    {
        if (!loaded)
            loaded = std::make_unique<QSvgRenderer>(fileName);
        return *loaded;
    }

    QString fileName;
    std::unique_ptr<QSvgRenderer> loaded;
};

}  // namespace

QIcon svgIcon(const QString& fileName)
{
    return QIcon(new SvgIconEngine(fileName));
}
