// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The folder the tunes are in: the program's own folder when a tune lies
// there (a build tree, or a game unpacked by hand), else the installed data
// folder, found from the program's folder so a moved install finds it too.
// With no tune in either, the program's folder: the game plays in silence.
QString findTuneDir(const QString& programDir);
