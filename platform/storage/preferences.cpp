// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/storage/preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kMusic = QStringLiteral("music");
const QString kFullscreen = QStringLiteral("fullscreen");

// Only the words QSettings writes for a choice count; anything else (a hand
// edit, a damaged line) is no choice at all.
bool flag(const QSettings& settings, const QString& key, bool fallback) {
    const QString text = settings.value(key).toString();
    if (text == QLatin1String("true")) {
        return true;
    }
    if (text == QLatin1String("false")) {
        return false;
    }
    return fallback;
}

// QSettings opens whatever lies at the path; a folder holds no choices, and
// a pipe would keep the game waiting for a writer.
bool noFileOrAFile(const QFileInfo& file) {
    return !file.exists() || file.isFile();
}

} // namespace

QString IniPreferences::userFile(const QString& organization, const QString& application) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QChar('/') +
           organization + QChar('/') + application + QStringLiteral(".ini");
}

Choices IniPreferences::load() {
    Choices choices;
    const QFileInfo file(m_fileName);
    if (!file.isFile()) {
        return choices;
    }
    const QSettings settings(m_fileName, QSettings::IniFormat);
    choices.music = flag(settings, kMusic, choices.music);
    choices.fullscreen = flag(settings, kFullscreen, choices.fullscreen);
    return choices;
}

void IniPreferences::save(const Choices& choices) {
    const QFileInfo file(m_fileName);
    if (!noFileOrAFile(file) || !QDir().mkpath(file.path())) {
        return;
    }
    {
        // QSettings saves under this lock and waits up to half a minute for
        // one it cannot prove stale (left by a crash, or another host's on a
        // shared home folder). A choice is not worth a frozen game: unless the
        // lock is free or stale now, this save is skipped, and the next one
        // writes every choice again.
        QLockFile lock(m_fileName + QStringLiteral(".lock"));
        if (!lock.tryLock(0)) {
            return;
        }
    }
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.setValue(kMusic, choices.music);
    settings.setValue(kFullscreen, choices.fullscreen);
    // A file or folder that cannot be written leaves the old choices; the
    // status says so, and nothing is to be done about it.
    settings.sync();
}
