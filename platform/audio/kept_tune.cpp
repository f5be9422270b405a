// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/audio/kept_tune.h"

#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file: this mark, the number of frames, then the frames, each a left
// and a right float as this machine stores them.
constexpr std::array<char, 8> kMark{'S', 'p', 'T', 'u', 'n', 'e', '1', '\n'};
constexpr qint64 kHeaderBytes = 16;
constexpr qint64 kBytesPerFrame = 2 * sizeof(float);

// Ten minutes at 48 kHz: longer than any tune a game plays (ours last under one).
constexpr qint64 kMaxFrames = qint64{10} * 60 * 48000;

// Two generations of the game's two tunes, should the soundfont or the
// synthesizer change; older renderings are removed.
constexpr int kKeptFiles = 4;

// What a synthesizer at its gain never comes near; anything beyond would
// only be noise from a damaged file.
constexpr float kLoudest = 8.0F;

bool writeAll(int fd, const void* data, qint64 bytes, qint64 at) {
    const auto* from = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t written = ::pwrite(fd, from, static_cast<size_t>(bytes), at);
        if (written <= 0) {
            return false;
        }
        from += written;
        at += written;
        bytes -= written;
    }
    return true;
}

void removeOld(const QString& folder) {
    const QDir dir(folder);
    const QFileInfoList kept =
        dir.entryInfoList({QStringLiteral("*.tune")}, QDir::Files, QDir::Time);
    for (qsizetype i = kKeptFiles; i < kept.size(); ++i) {
        QFile::remove(kept[i].filePath());
    }
    // Left by a copy of the game that was killed while it wrote.
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    for (const QFileInfo& writing : dir.entryInfoList({QStringLiteral("*.tune.*")}, QDir::Files)) {
        if (writing.lastModified() < dayAgo) {
            QFile::remove(writing.filePath());
        }
    }
}

} // namespace

KeptTune::KeptTune(int fd, QString path, QString writing)
    : m_fd(fd), m_path(std::move(path)), m_writing(std::move(writing)) {}

KeptTune::~KeptTune() {
    ::close(m_fd);
    if (!m_writing.isEmpty()) {
        QFile::remove(m_writing);
    }
}

std::unique_ptr<KeptTune> KeptTune::open(const QString& path) {
    RegularFile::Status status{};
    const int fd = openRegularFile(path, kHeaderBytes + kMaxFrames * kBytesPerFrame, &status);
    if (fd < 0) {
        return nullptr;
    }
    std::unique_ptr<KeptTune> tune(new KeptTune(fd, path, {}));
    struct stat file {};
    std::array<char, kHeaderBytes> header{};
    if (fstat(fd, &file) != 0 || ::pread(fd, header.data(), header.size(), 0) != kHeaderBytes ||
        std::memcmp(header.data(), kMark.data(), kMark.size()) != 0) {
        return nullptr;
    }
    std::memcpy(&tune->m_frames, header.data() + kMark.size(), sizeof(qint64));
    if (tune->m_frames < 0 || tune->m_frames > kMaxFrames ||
        file.st_size != kHeaderBytes + tune->m_frames * kBytesPerFrame) {
        return nullptr;
    }
    tune->m_finished = true;
    return tune;
}

std::unique_ptr<KeptTune> KeptTune::create(const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).path())) {
        return nullptr;
    }
    // A name of this copy of the game's own, beside the final one.
    static std::atomic<int> made{0};
    const QString writing =
        path +
        QStringLiteral(".%1-%2").arg(QCoreApplication::applicationPid()).arg(made.fetch_add(1));
    const int fd =
        ::open(QFile::encodeName(writing).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return nullptr;
    }
    std::unique_ptr<KeptTune> tune(new KeptTune(fd, path, writing));
    const qint64 none = 0;
    std::array<char, kHeaderBytes> header{};
    std::memcpy(header.data(), kMark.data(), kMark.size());
    std::memcpy(header.data() + kMark.size(), &none, sizeof none);
    if (!writeAll(fd, header.data(), kHeaderBytes, 0)) {
        return nullptr;
    }
    return tune;
}

bool KeptTune::append(const float* samples, qint64 frames) {
    if (m_finished || m_frames + frames > kMaxFrames ||
        !writeAll(m_fd, samples, frames * kBytesPerFrame,
                  kHeaderBytes + m_frames * kBytesPerFrame)) {
        return false;
    }
    m_frames += frames;
    return true;
}

void KeptTune::finish() {
    m_finished = true;
    if (writeAll(m_fd, &m_frames, sizeof m_frames, kMark.size()) &&
        ::rename(QFile::encodeName(m_writing).constData(), QFile::encodeName(m_path).constData()) ==
            0) {
        m_writing.clear();
        removeOld(QFileInfo(m_path).path());
    }
}

qint64 KeptTune::read(qint64 at, float* samples, qint64 frames) const {
    frames = std::clamp<qint64>(m_frames - at, 0, frames);
    const ssize_t bytes = ::pread(m_fd, samples, static_cast<size_t>(frames * kBytesPerFrame),
                                  kHeaderBytes + at * kBytesPerFrame);
    const qint64 got = bytes > 0 ? bytes / kBytesPerFrame : 0;
    for (float* sample = samples; sample != samples + 2 * got; ++sample) {
        if (!(std::fabs(*sample) <= kLoudest)) {
            *sample = 0.0F;
        }
    }
    return got;
}
