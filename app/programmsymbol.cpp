#include "app/programmsymbol.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace spinalyst::app {

QIcon Programmsymbol() {
    QSvgRenderer zeichner(QStringLiteral(":/spinalyst/spinalyst.svg"));
    QIcon symbol;
    if (!zeichner.isValid()) {
        return symbol;
    }
    for (const int groesse : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap bild(groesse, groesse);
        bild.fill(Qt::transparent);
        QPainter maler(&bild);
        maler.setRenderHint(QPainter::Antialiasing);
        zeichner.render(&maler);
        maler.end();
        symbol.addPixmap(bild);
    }
    return symbol;
}

}  // namespace spinalyst::app
