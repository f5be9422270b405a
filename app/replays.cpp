// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/replays.h"

#include "platform/regular_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
bool save(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
} // namespace

Replays::Replays(const Clock& source) : m_recorder(source) {
    m_recorder.finished = [this](const Recording& game) { file(game); };
}

QString Replays::folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/spinmarsh/replays");
}

QString Replays::recordFile() {
    return folder() + QStringLiteral("/record.replay");
}

void Replays::file(const Recording& game) {
    m_last = QByteArray::fromStdString(formatRecording(game));
    QDir dir(folder());
    if (!dir.mkpath(QStringLiteral("."))) {
        return;
    }
    const QString name = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QChar('-') + QString::number(game.total) + QStringLiteral(".replay");
    save(dir.filePath(name), m_last);
    prune();
}

void Replays::prune() {
    QDir dir(folder());
    // The names sort by the time they were filed. Only what could be read as
    // a recording counts and goes; anything else under such a name (a folder,
    // a pipe, a huge file) is not the game's to remove.
    QStringList filed;
    for (const QString& name :
         dir.entryList({QStringLiteral("[0-9]*-[0-9]*-*.replay")}, QDir::Files, QDir::Name)) {
        if (regularFileStatus(dir.filePath(name), kMaxRecordingBytes) ==
            RegularFile::Status::Read) {
            filed << name;
        }
    }
    for (qsizetype i = 0; i < filed.size() - kKept; ++i) {
        dir.remove(filed[i]);
    }
}

SettingsStore::Alongside Replays::asRecordGame() {
    return {dropRecordGame, [this] { keepRecordGame(m_last); }};
}

void Replays::dropRecordGame() {
    QFile::remove(recordFile());
}

void Replays::keepRecordGame(const QByteArray& game) {
    if (!game.isEmpty() && QDir().mkpath(folder())) {
        save(recordFile(), game);
    }
}

std::optional<Recording> Replays::loadRecordGame(int32_t score, std::string& error) {
    std::optional<Recording> game = loadRecording(recordFile(), error);
    if (game && game->total != score) {
        error = recordFile().toStdString() + ": the game of another high score (total " +
                std::to_string(game->total) + ", the high score is " + std::to_string(score) + ")";
        return std::nullopt;
    }
    return game;
}
