// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tests' stand-ins for the machine's seams that nothing else needs. The
// ones the simulator and the benchmark also play on are in
// headless/stand_ins/.

#include "platform/settings_store.h"
#include "platform/shell.h"

#include <QMap>
#include <QString>
#include <QStringList>

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
