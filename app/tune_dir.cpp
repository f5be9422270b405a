// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tune_dir.h"

#include "app/build_config.h"

#include <QDir>
#include <QFileInfo>

namespace {
bool holdsATune(const QString& dir) {
    return QFileInfo::exists(dir + QStringLiteral("/0.mid")) ||
           QFileInfo::exists(dir + QStringLiteral("/1.mid"));
}
} // namespace

QString findTuneDir(const QString& programDir) {
    const QString installed =
        QDir::cleanPath(programDir + QStringLiteral("/" SPINMARSH_TUNES_FROM_PROGRAM));
    return !holdsATune(programDir) && holdsATune(installed) ? installed : programDir;
}
