// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/settings_store.h"

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
