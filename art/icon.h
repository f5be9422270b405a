#pragma once

#include <QIcon>

namespace art {

// The program's icon: a plain window glyph (frame, title bar, three buttons),
// drawn at every common icon size. art/spinmarsh.svg is the same drawing for
// the desktop's icon theme.
QIcon programIcon();

} // namespace art
