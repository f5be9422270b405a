// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/save_lock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kLockWaitMs = 1000;
constexpr int kLockPollMs = 5;
} // namespace

SaveLock::SaveLock(const QString& lockFile) : m_name(QFile::encodeName(lockFile)) {}

SaveLock::~SaveLock() {
    if (m_fd >= 0) {
        // Removed while still held, so a waiter that opened this file sees on
        // getting it that it is no longer the lock, and opens anew.
        ::unlink(m_name.constData());
        ::close(m_fd);
    }
}

bool SaveLock::tryLock() {
    const QDeadlineTimer deadline(kLockWaitMs);
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

// The open file is still the one the name leads to.
bool SaveLock::isNamed(int fd) const {
    struct stat held = {};
    struct stat named = {};
    return ::fstat(fd, &held) == 0 && ::stat(m_name.constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}
