#pragma once

#include <QObject>
#include <QString>

namespace spinalyst::app {

// Gives a control its name (the Qt object name), by which the windows, the tests and the
// screenshot tools find it; returns the control for use in one expression.
template <typename W>
W* benannt(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace spinalyst::app
