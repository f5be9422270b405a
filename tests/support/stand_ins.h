// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tests' stand-ins for the machine's seams that nothing else needs. The
// ones the simulator also drives (manual clock and pause, scripted dialogs,
// silent music, sequence random) stay beside their interfaces in platform/.

#include "platform/music_player.h"
#include "platform/settings_store.h"
#include "platform/shell.h"

#include <QMap>
#include <QString>
#include <QStringList>

// Records the operations in order ("file <path>", "open", "play", ...).
class RecordingMusicPlayer : public MusicPlayer {
  public:
    void setFileName(const QString& path) override { log << QStringLiteral("file ") + path; }
    void open() override { log << QStringLiteral("open"); }
    void play() override { log << QStringLiteral("play"); }
    void stop() override { log << QStringLiteral("stop"); }
    void close() override { log << QStringLiteral("close"); }
    void pause() override { log << QStringLiteral("pause"); }
    void resume() override { log << QStringLiteral("resume"); }
    QStringList log;
};

class RecordingShell : public Shell {
  public:
    bool open(const QString& address) override {
        opened << address;
        return true;
    }
    QStringList opened;
};

class MemorySettingsStore : public SettingsStore {
  public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultText) override;
    Change write(const QString& application, const QString& section,
                 const std::function<Values(const Values& current)>& change,
                 const Alongside& alongside) override;

    QMap<QString, QString> values; // "application/section/key" -> text
    bool rejectWrites = false;
};
