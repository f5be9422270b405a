// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The game's data lies in the program's own folder when it is there (a build
// tree, or a game unpacked by hand), else in the installed data folder, found
// from the program's folder so a moved install finds it too.

// The folder the tunes are in. With no tune in either, the program's folder:
// the game plays in silence.
QString findTuneDir(const QString& programDir);

// What the title menu's Zerrendo opens: the web site the build names, else
// the game's own front page as a file:// address.
QString findWebSite(const QString& programDir);
