// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/data_dir.h"

#include "app/build_config.h"
#include "base/project.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <initializer_list>

namespace {
// The first folder that holds any of `files`, the program's folder if none.
QString findDataDir(const QString& programDir, std::initializer_list<const char*> files) {
    const auto holds = [&files](const QString& dir) {
        return std::ranges::any_of(files, [&dir](const char* file) {
            return QFileInfo::exists(dir + QLatin1Char('/') + QLatin1String(file));
        });
    };
    const QString installed =
        QDir::cleanPath(programDir + QStringLiteral("/" SPINMARSH_TUNES_FROM_PROGRAM));
    return !holds(programDir) && holds(installed) ? installed : programDir;
}
} // namespace

QString findTuneDir(const QString& programDir) {
    return findDataDir(programDir, {"0.mid", "1.mid"});
}

QString findWebSite(const QString& programDir) {
    if (QString site = QStringLiteral(SPINMARSH_HOMEPAGE_URL); !site.isEmpty()) {
        return site;
    }
    const char* frontPage = SPINMARSH_PAGES "/index.html";
    return QUrl::fromLocalFile(findDataDir(programDir, {frontPage}) + QLatin1Char('/') +
                               QLatin1String(frontPage))
        .toString();
}
