// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/storage/qsettings_store.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Another copy of the game holds the lock for a few milliseconds; one that
// holds it longer (stopped in a debugger, a file system that hangs) is given
// up on after a second rather than freezing the game.
constexpr int kLockWaitMs = 1000;
constexpr int kLockPollMs = 5;

// The lock on <file>.lock, the name QSettings and older copies of the game
// lock with QLockFile. QLockFile proves a lock stale by the process named in
// the file, so a holder killed before writing its name left a lock no one
// could take for half a minute. This one is flock(2) on the file: the kernel
// lets go of it however its holder dies, so the next save takes it at once.
// QLockFile flocks the file it creates too, so an older copy holding the lock
// is waited for, and an older copy finding this lock's file waits until the
// holder removes it on letting go. Missed are only a QLockFile caught between
// creating its file and flocking it (a few system calls), and, by older
// copies, the empty file a killed holder leaves until this game's next save.
class SaveLock {
  public:
    explicit SaveLock(const QString& fileName) : m_name(QFile::encodeName(fileName)) {}
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;
    ~SaveLock() {
        if (m_fd >= 0) {
            // Removed while still held, so a waiter that opened this file
            // sees on getting it that it is no longer the lock, and opens anew.
            ::unlink(m_name.constData());
            ::close(m_fd);
        }
    }

    bool tryLock(int waitMs) {
        const QDeadlineTimer deadline(waitMs);
        for (;;) {
            const int fd = ::open(m_name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            if (fd < 0) {
                return false;
            }
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                if (isNamed(fd)) {
                    m_fd = fd;
                    return true;
                }
                ::close(fd);
                continue;
            }
            ::close(fd);
            if (deadline.hasExpired()) {
                return false;
            }
            QThread::msleep(kLockPollMs);
        }
    }

  private:
    // The open file is still the one the name leads to.
    bool isNamed(int fd) const {
        struct stat held = {};
        struct stat named = {};
        return ::fstat(fd, &held) == 0 && ::stat(m_name.constData(), &named) == 0 &&
               held.st_dev == named.st_dev && held.st_ino == named.st_ino;
    }

    const QByteArray m_name;
    int m_fd = -1;
};

QString path(const QString& section, const QString& key) {
    return section + QChar('/') + key;
}

// Where QSettings keeps an application's INI file in the user scope. Worked
// out here rather than asked of QSettings, which would parse the file first.
QString fileOf(const QString& application) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QChar('/') +
           application + QStringLiteral(".ini");
}

// The file's bytes: empty when there is no file, none when it cannot be read.
std::optional<QByteArray> contents(const QString& fileName) {
    QFile file(fileName);
    if (!file.exists()) {
        return QByteArray();
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
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

// QSettings keeps what it parsed of every file it has read and trusts it while
// the file's size and modification time stay the same, and the time only moves
// on with the file system's clock tick: a file that another copy of the game
// replaced by one of the same size within that tick would read as it was. So
// QSettings parses and writes only a private copy of the bytes under a name it
// has never seen. `use` works on the copy, whose bytes are then returned.
std::optional<QByteArray> onCopy(const QByteArray& bytes,
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
    return contents(copy.fileName());
}

std::optional<SettingsStore::Values> parse(const QByteArray& bytes, const QString& section) {
    SettingsStore::Values values;
    const bool parsed = onCopy(bytes, [&](QSettings& settings) {
                            values = sectionOf(settings, section);
                            return true;
                        }).has_value();
    return parsed ? std::optional(values) : std::nullopt;
}

} // namespace

QString QSettingsStore::read(const QString& application, const QString& section, const QString& key,
                             const QString& defaultText) {
    const QString fileName = fileOf(application);
    const std::optional<QByteArray> bytes = contents(fileName);
    std::optional<Values> values = bytes ? parse(*bytes, section) : std::nullopt;
    if (!values) {
        // No private copy to be had (the temporary folder is full, or the
        // file cannot be read): the file as QSettings reads it.
        QSettings settings(fileName, QSettings::IniFormat);
        values = sectionOf(settings, section);
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
    if (!lock.tryLock(kLockWaitMs)) {
        return Change::Failed;
    }
    const std::optional<QByteArray> before = contents(fileName);
    if (!before) {
        return Change::Failed;
    }
    Values wanted;
    const std::optional<QByteArray> after = onCopy(*before, [&](QSettings& settings) {
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
