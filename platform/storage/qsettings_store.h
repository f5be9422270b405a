// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/settings_store.h"

#include <QByteArray>
#include <QSettings>

#include <functional>
#include <optional>

// An INI file per application in the user's configuration folder
// ($XDG_CONFIG_HOME/<application>.ini, usually ~/.config), written as
// QSettings writes it. Writers lock the lock file QSettings uses, with a lock
// the kernel lets go of when its holder dies.
class QSettingsStore : public SettingsStore {
  public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultText) override;
    Change write(const QString& application, const QString& section,
                 const std::function<Values(const Values& current)>& change,
                 const Alongside& alongside) override;
};

// The most either of the game's INI files is read to. The record is well under
// 100 bytes as the game writes it, and even the longest name its prompt takes
// (32767 characters, each escaped as QSettings escapes the worst of them)
// stays under 200 KB; a megabyte leaves room for whatever a person adds by
// hand and reads in a moment. Anything larger was never one of them.
inline constexpr qint64 kMaxIniBytes = qint64{1} << 20;

// QSettings at work on a private copy of INI bytes, so that it never opens
// the player's file itself. The copy's bytes once `use` is done with it; none
// when no copy could be made, `use` returned false, or the result is larger
// than kMaxIniBytes.
std::optional<QByteArray> onIniCopy(const QByteArray& bytes,
                                    const std::function<bool(QSettings&)>& use);
