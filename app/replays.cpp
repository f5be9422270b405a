// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/replays.h"

#include "platform/regular_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

Replays::Replays(const Clock& source, const Records& records)
    : m_recorder(source), m_records(records) {
    m_recorder.finished = [this](const Recording& game) { file(game); };
}

QString Replays::folder() {
    return RecordsFolder().replaysDir();
}

QString Replays::recordFile() {
    return folder() + QStringLiteral("/record.replay");
}

void Replays::file(const Recording& game) {
    m_last = QByteArray::fromStdString(formatRecording(game));
    const QString name = Records::fileName(QDateTime::currentDateTime(), game.total);
    m_lastFiled = m_records.folder().writeReplay(name, m_last) ? name : QString();
    m_records.prune();
}

SettingsStore::Alongside Replays::asRecordGame() {
    return {dropRecordGame, [this] { keepRecordGame(m_last); }};
}

void Replays::dropRecordGame() {
    QFile::remove(recordFile());
}

void Replays::keepRecordGame(const QByteArray& game) {
    if (!game.isEmpty()) {
        RecordsFolder().writeReplay(QFileInfo(recordFile()).fileName(), game);
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
