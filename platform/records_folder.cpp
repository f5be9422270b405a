// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/records_folder.h"

#include "platform/save_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>

#include <dirent.h>
#include <pwd.h>
#include <unistd.h>

namespace {
bool save(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).path())) {
        return false;
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
} // namespace

RecordsFolder::RecordsFolder(QString root) : m_root(std::move(root)) {}

QString RecordsFolder::userRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/spinmarsh");
}

QString RecordsFolder::replaysDir() const {
    return m_root + QStringLiteral("/replays");
}

QString RecordsFolder::tableFile() const {
    return m_root + QStringLiteral("/records.txt");
}

// Read from the directory itself: QDir looks at every entry's file type,
// one system call each, and a folder may hold thousands.
QStringList RecordsFolder::replayNames() const {
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(replaysDir()).constData());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name.endsWith(QStringLiteral(".replay"))) {
            names << name;
        }
    }
    ::closedir(dir);
    return names;
}

RegularFile RecordsFolder::readReplay(const QString& name, qint64 maxBytes) const {
    return readRegularFile(replaysDir() + QChar('/') + name, maxBytes);
}

QDateTime RecordsFolder::replayModified(const QString& name) const {
    return QFileInfo(replaysDir() + QChar('/') + name).lastModified();
}

bool RecordsFolder::writeReplay(const QString& name, const QByteArray& bytes) const {
    return save(replaysDir() + QChar('/') + name, bytes);
}

void RecordsFolder::removeReplay(const QString& name) const {
    QFile::remove(replaysDir() + QChar('/') + name);
}

RegularFile RecordsFolder::readTable(qint64 maxBytes) const {
    return readRegularFile(tableFile(), maxBytes);
}

void RecordsFolder::setTableAside() const {
    moveAside(tableFile());
}

bool RecordsFolder::isReplayFile(const QString& name, qint64 maxBytes) const {
    return regularFileStatus(replaysDir() + QChar('/') + name, maxBytes) ==
           RegularFile::Status::Read;
}

bool RecordsFolder::changeTable(
    qint64 maxBytes,
    const std::function<std::optional<QByteArray>(const RegularFile&)>& change) const {
    if (!QDir().mkpath(m_root)) {
        return false;
    }
    SaveLock lock(tableFile() + QStringLiteral(".lock"));
    if (!lock.tryLock()) {
        return false;
    }
    const std::optional<QByteArray> table = change(readTable(maxBytes));
    return !table || save(tableFile(), *table);
}

QString accountName() {
    const passwd* account = ::getpwuid(::getuid());
    if (account == nullptr) {
        return qEnvironmentVariable("USER");
    }
    // The full name is the first of the comma-separated fields.
    const QString fullName =
        QString::fromLocal8Bit(account->pw_gecos).section(QChar(','), 0, 0).trimmed();
    return fullName.isEmpty() ? QString::fromLocal8Bit(account->pw_name) : fullName;
}
