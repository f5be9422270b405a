// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A Rollvane.ini edited by hand: written as it comes, then read as the score
// screen and the high-score screen read the record.

#include "platform/storage/qsettings_store.h"
#include "screens/high_score_record.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The store reads the file from the user's configuration folder: one of
    // our own for the whole run.
    static const QTemporaryDir config;
    static const bool placed = qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QFile file(QDir(config.path()).filePath(record::kApplication + QStringLiteral(".ini")));
    if (!placed || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
            static_cast<qint64>(size)) {
        std::abort();
    }
    file.close();
    QSettingsStore store;
    const HighScoreRecord stored(store);
    stored.name();
    stored.score();
    return 0;
}
