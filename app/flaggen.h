#pragma once

#include <QIcon>

namespace spinalyst::app {

// The flag images of the two language buttons, painted at run time (no image files).
QIcon Flagge_Deutsch();
QIcon Flagge_Englisch();

}  // namespace spinalyst::app
