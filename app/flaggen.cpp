#include "app/flaggen.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace spinalyst::app {

namespace {

// Flags are drawn on a 60 x 30 grid (the proportions of the British flag) and scaled, so the
// icon looks the same at every size.
constexpr int kBreite = 60;
constexpr int kHoehe = 30;

QIcon malen(void (*zeichnen)(QPainter&)) {
    QIcon icon;
    for (const QSize size : {QSize(24, 16), QSize(48, 32)}) {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(static_cast<double>(size.width()) / kBreite,
                static_cast<double>(size.height()) / kHoehe);
        zeichnen(p);
        p.setPen(QPen(QColor(90, 90, 90), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0.5, 0.5, kBreite - 1, kHoehe - 1));
        icon.addPixmap(pixmap);
    }
    return icon;
}

void deutsch(QPainter& p) {
    const double streifen = kHoehe / 3.0;
    p.fillRect(QRectF(0, 0, kBreite, streifen), QColor(0, 0, 0));
    p.fillRect(QRectF(0, streifen, kBreite, streifen), QColor(221, 0, 0));
    p.fillRect(QRectF(0, 2 * streifen, kBreite, streifen), QColor(255, 206, 0));
}

void englisch(QPainter& p) {
    const QColor blau(1, 33, 105);
    const QColor rot(200, 16, 46);
    p.fillRect(QRectF(0, 0, kBreite, kHoehe), blau);
    p.setClipRect(QRectF(0, 0, kBreite, kHoehe));
    // Diagonals: white, with a narrower red one on top.
    p.setPen(QPen(Qt::white, 6));
    p.drawLine(QLineF(0, 0, kBreite, kHoehe));
    p.drawLine(QLineF(0, kHoehe, kBreite, 0));
    p.setPen(QPen(rot, 2));
    p.drawLine(QLineF(0, 0, kBreite, kHoehe));
    p.drawLine(QLineF(0, kHoehe, kBreite, 0));
    // Upright cross: white, with a narrower red one on top.
    p.fillRect(QRectF(25, 0, 10, kHoehe), Qt::white);
    p.fillRect(QRectF(0, 10, kBreite, 10), Qt::white);
    p.fillRect(QRectF(27, 0, 6, kHoehe), rot);
    p.fillRect(QRectF(0, 12, kBreite, 6), rot);
}

}  // namespace

QIcon Flagge_Deutsch() {
    return malen(deutsch);
}
QIcon Flagge_Englisch() {
    return malen(englisch);
}

}  // namespace spinalyst::app
