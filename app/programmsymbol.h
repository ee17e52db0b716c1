#pragma once

#include <QIcon>

namespace spinalyst::app {

// The program's icon (the wheel of packaging/spinalyst.svg, built into the program), drawn at
// the usual sizes from 16 to 256 pixels for the window title and the task bar.
QIcon Programmsymbol();

}  // namespace spinalyst::app
