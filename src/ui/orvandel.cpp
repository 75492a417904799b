#include "orvandel.h"

#include "ui_orvandel.h"

#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSvgRenderer>

#include <algorithm>

namespace {
constexpr QSize logoSize(230, 60);
}

Orvandel::Orvandel(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::Orvandel>())
{
    ui->setupUi(this);
    connect(ui->cb_1, &QPushButton::clicked, this, &QWidget::close);
}

Orvandel::~Orvandel() = default;

void Orvandel::showEvent(QShowEvent* event)
{
    drawLogo();
    centreOverParent();
    QDialog::showEvent(event);
}

// Centred over the main window, but kept inside the screen's work area.
void Orvandel::centreOverParent()
{
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* shown = owner ? owner->screen() : screen();
    const QRect area = shown ? shown->availableGeometry() : QRect();
    const QRect around = owner ? owner->frameGeometry() : area;
    QRect frame = frameGeometry();
    frame.moveCenter(around.center());
    if (!area.isEmpty()) {
        frame.moveRight(std::min(frame.right(), area.right()));
        frame.moveBottom(std::min(frame.bottom(), area.bottom()));
        frame.moveLeft(std::max(frame.left(), area.left()));
        frame.moveTop(std::max(frame.top(), area.top()));
    }
    move(frame.topLeft());
}

// Drawn for the screen's pixel ratio, so the logo stays sharp when scaled.
void Orvandel::drawLogo()
{
    const qreal ratio = devicePixelRatioF();
    QPixmap logo(logoSize * ratio);
    logo.setDevicePixelRatio(ratio);
    logo.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/logo.svg"));
    QPainter painter(&logo);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(logoSize)));
    painter.end();
    ui->pictb_1->setPixmap(logo);
}
