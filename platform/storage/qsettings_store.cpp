// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/storage/qsettings_store.h"

#include "platform/regular_file.h"
#include "platform/save_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <optional>

namespace {

QString path(const QString& section, const QString& key) {
    return section + QChar('/') + key;
}

// Where QSettings keeps an application's INI file in the user scope. Worked
// out here rather than asked of QSettings, which would parse the file first.
QString fileOf(const QString& application) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QChar('/') +
           application + QStringLiteral(".ini");
}

// The file's bytes: empty when there is none, and when there lies something
// that can never be one (a folder, a pipe, a device, a huge file), which
// `odd` then tells; none when it cannot be read.
std::optional<QByteArray> contents(const QString& fileName, bool* odd = nullptr) {
    RegularFile file = readRegularFile(fileName, kMaxIniBytes);
    if (odd != nullptr) {
        *odd = isOdd(file.status);
    }
    if (file.ok()) {
        return std::move(file.bytes);
    }
    if (file.status == RegularFile::Status::Missing || isOdd(file.status)) {
        return QByteArray();
    }
    return std::nullopt;
}

SettingsStore::Values sectionOf(QSettings& settings, const QString& section) {
    SettingsStore::Values values;
    settings.beginGroup(section);
    for (const QString& key : settings.childKeys()) {
        // A hand-edited file can hold a list (a value with commas); only a
        // plain text counts as a stored value.
        const QVariant value = settings.value(key);
        if (value.typeId() == QMetaType::QString) {
            values.insert(key, value.toString());
        }
    }
    settings.endGroup();
    return values;
}

std::optional<SettingsStore::Values> parse(const QByteArray& bytes, const QString& section) {
    SettingsStore::Values values;
    const bool parsed = onIniCopy(bytes, [&](QSettings& settings) {
                            values = sectionOf(settings, section);
                            return true;
                        }).has_value();
    return parsed ? std::optional(values) : std::nullopt;
}

} // namespace

// QSettings keeps what it parsed of every file it has read and trusts it while
// the file's size and modification time stay the same, and the time only moves
// on with the file system's clock tick: a file that another copy of the game
// replaced by one of the same size within that tick would read as it was. So
// QSettings parses and writes only a private copy of the bytes under a name it
// has never seen.
std::optional<QByteArray> onIniCopy(const QByteArray& bytes,
                                    const std::function<bool(QSettings&)>& use) {
    QTemporaryFile copy;
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush()) {
        return std::nullopt;
    }
    {
        QSettings settings(copy.fileName(), QSettings::IniFormat);
        if (!use(settings)) {
            return std::nullopt;
        }
    }
    RegularFile written = readRegularFile(copy.fileName(), kMaxIniBytes);
    return written.ok() ? std::optional(std::move(written.bytes)) : std::nullopt;
}

QString QSettingsStore::read(const QString& application, const QString& section, const QString& key,
                             const QString& defaultText) {
    // Only ever the bytes the rule read, parsed on a private copy: QSettings
    // never opens the file itself, so nothing put in its place after the look
    // can hold the game. When no copy can be made, there is no record to read.
    const std::optional<QByteArray> bytes = contents(fileOf(application));
    const std::optional<Values> values = bytes ? parse(*bytes, section) : std::nullopt;
    if (!values) {
        return defaultText;
    }
    return values->value(key, defaultText);
}

SettingsStore::Change
QSettingsStore::write(const QString& application, const QString& section,
                      const std::function<Values(const Values& current)>& change,
                      const Alongside& alongside) {
    const QString fileName = fileOf(application);
    // A new user's configuration folder may not exist yet.
    QDir().mkpath(QFileInfo(fileName).path());
    SaveLock lock(fileName + QStringLiteral(".lock"));
    if (!lock.tryLock()) {
        return Change::Failed;
    }
    bool odd = false;
    const std::optional<QByteArray> before = contents(fileName, &odd);
    if (!before) {
        return Change::Failed;
    }
    Values wanted;
    const std::optional<QByteArray> after = onIniCopy(*before, [&](QSettings& settings) {
        wanted = change(sectionOf(settings, section));
        for (auto value = wanted.cbegin(); value != wanted.cend(); ++value) {
            settings.setValue(path(section, value.key()), value.value());
        }
        settings.sync();
        // A file that did not parse (a stray byte, a half-written line)
        // reports FormatError even for a write that went through; only
        // AccessError means the values were not kept.
        return settings.status() != QSettings::AccessError;
    });
    if (after && wanted.isEmpty()) {
        return Change::Declined;
    }
    // On a full disk QSettings can leave an empty file and say nothing, so the
    // new text is only trusted once it reads back with every value in it.
    const std::optional<Values> reread = after ? parse(*after, section) : std::nullopt;
    if (!reread) {
        return Change::Failed;
    }
    for (auto value = wanted.cbegin(); value != wanted.cend(); ++value) {
        if (!reread->contains(value.key()) || reread->value(value.key()) != value.value()) {
            return Change::Failed;
        }
    }
    // Written beside the old file, flushed to the disk and renamed over it: at
    // every moment the file is the old one or the new one, whole. Any error on
    // the way leaves the old one. Unbuffered, because QSaveFile does not see
    // an error (ENOSPC) in flushing its buffer and would commit a short file.
    if (alongside.replacing) {
        alongside.replacing();
    }
    if (odd) {
        const QString aside = moveAside(fileName);
        if (aside.isEmpty()) {
            return Change::Failed;
        }
        if (alongside.movedAside) {
            alongside.movedAside(aside);
        }
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(*after) != after->size() || !file.commit() || contents(fileName) != after) {
        return Change::Failed;
    }
    if (alongside.replaced) {
        alongside.replaced();
    }
    return Change::Stored;
}
