// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>
#include <QImage>

namespace art {

// The program's icon, drawn from art/spinmarsh.svg (built into the program)
// at the given size in pixels.
QImage programIconImage(int size);

// The same drawing at every common icon size, for the windows.
QIcon programIcon();

} // namespace art
