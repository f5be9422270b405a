// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/storage/preferences.h"

#include "platform/regular_file.h"
#include "platform/storage/qsettings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
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

} // namespace

QString IniPreferences::userFile(const QString& organization, const QString& application) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QChar('/') +
           organization + QChar('/') + application + QStringLiteral(".ini");
}

Choices IniPreferences::load() {
    Choices choices;
    const RegularFile file = readRegularFile(m_fileName, kMaxIniBytes);
    if (file.ok()) {
        onIniCopy(file.bytes, [&choices](QSettings& settings) {
            choices.music = flag(settings, kMusic, choices.music);
            choices.fullscreen = flag(settings, kFullscreen, choices.fullscreen);
            return true;
        });
    }
    return choices;
}

void IniPreferences::save(const Choices& choices) {
    if (!QDir().mkpath(QFileInfo(m_fileName).path())) {
        return;
    }
    // Another copy of the game saving right now, or a lock left by a crash
    // or by another host's copy on a shared home folder: a choice is not
    // worth a wait, so this save is skipped, and the next one writes every
    // choice again.
    QLockFile lock(m_fileName + QStringLiteral(".lock"));
    if (!lock.tryLock(0)) {
        return;
    }
    // Only a file that can be read is kept and changed; anything else in its
    // place (a folder, a pipe) is left alone, and the choices are not kept.
    RegularFile file = readRegularFile(m_fileName, kMaxIniBytes);
    if (!file.ok() && file.status != RegularFile::Status::Missing) {
        return;
    }
    const std::optional<QByteArray> after = onIniCopy(file.bytes, [&](QSettings& settings) {
        settings.setValue(kMusic, choices.music);
        settings.setValue(kFullscreen, choices.fullscreen);
        settings.sync();
        return settings.status() != QSettings::AccessError;
    });
    // A file or folder that cannot be written leaves the old choices, and
    // nothing is to be done about it.
    QSaveFile saved(m_fileName);
    if (after && saved.open(QIODevice::WriteOnly)) {
        saved.write(*after);
        saved.commit();
    }
}
