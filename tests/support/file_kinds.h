// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

// What can lie where the game expects one of its files: what it wrote, or
// what a tool, a script, a damaged disk or a mistake left there.
namespace file_kinds {

inline const QString kMissing = QStringLiteral("missing");
inline const QString kEmpty = QStringLiteral("empty");
inline const QString kNormal = QStringLiteral("normal");
inline const QString kFolder = QStringLiteral("folder");
inline const QString kFifo = QStringLiteral("FIFO");
inline const QString kDevice = QStringLiteral("link to /dev/zero");
inline const QString kSocket = QStringLiteral("socket");
inline const QString kOversized = QStringLiteral("oversized sparse file");
inline const QString kUnreadable = QStringLiteral("unreadable");

inline QStringList all() {
    return {kMissing, kEmpty, kNormal, kFolder, kFifo, kDevice, kSocket, kOversized, kUnreadable};
}

// Those that can never be read as a file of the game's, whatever their bytes.
inline QStringList odd() {
    return {kFolder, kFifo, kDevice, kSocket, kOversized};
}

// 3 GB, more than any of the game's bounds, and more than anything may read
// whole; sparse, so it takes no room on the disk.
inline constexpr qint64 kOversizedBytes = qint64{3} << 30;

// Puts a thing of this kind at path; a normal file holds `normal`, an
// unreadable one too, with no one allowed to read it (root still can). False
// when it could not be made.
inline bool make(const QString& kind, const QString& path, const QByteArray& normal = {}) {
    const QByteArray name = QFile::encodeName(path);
    QDir().mkpath(QFileInfo(path).path());
    if (kind == kMissing) {
        return !QFileInfo::exists(path);
    }
    if (kind == kFolder) {
        return QDir().mkpath(path);
    }
    if (kind == kFifo) {
        return mkfifo(name.constData(), 0644) == 0;
    }
    if (kind == kDevice) {
        return QFile::link(QStringLiteral("/dev/zero"), path);
    }
    if (kind == kSocket) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (name.size() >= qsizetype(sizeof address.sun_path)) {
            return false;
        }
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound =
            fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return bound;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (kind == kOversized) {
        return file.resize(kOversizedBytes);
    }
    const QByteArray bytes = kind == kEmpty ? QByteArray() : normal;
    if (file.write(bytes) != bytes.size()) {
        return false;
    }
    return kind != kUnreadable || file.setPermissions({});
}

// Whether what lies at path is still of this kind, as make() left it.
inline bool still(const QString& kind, const QString& path) {
    const QFileInfo info(path);
    struct stat look {};
    const bool there = ::lstat(QFile::encodeName(path).constData(), &look) == 0;
    if (kind == kFolder) {
        return info.isDir();
    }
    if (kind == kFifo) {
        return there && S_ISFIFO(look.st_mode);
    }
    if (kind == kDevice) {
        return info.isSymLink() && info.symLinkTarget() == QStringLiteral("/dev/zero");
    }
    if (kind == kSocket) {
        return there && S_ISSOCK(look.st_mode);
    }
    if (kind == kOversized) {
        return there && S_ISREG(look.st_mode) && look.st_size == kOversizedBytes;
    }
    return there;
}

} // namespace file_kinds
