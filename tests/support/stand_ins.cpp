// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/stand_ins.h"

QString MemorySettingsStore::read(const QString& application, const QString& section,
                                  const QString& key, const QString& defaultText) {
    return values.value(application + QChar('/') + section + QChar('/') + key, defaultText);
}

SettingsStore::Change
MemorySettingsStore::write(const QString& application, const QString& section,
                           const std::function<Values(const Values& current)>& change,
                           const Alongside& alongside) {
    if (rejectWrites) {
        return Change::Failed;
    }
    const QString prefix = application + QChar('/') + section + QChar('/');
    Values current;
    for (auto value = values.cbegin(); value != values.cend(); ++value) {
        if (value.key().startsWith(prefix)) {
            current.insert(value.key().mid(prefix.size()), value.value());
        }
    }
    const Values wanted = change(current);
    if (wanted.isEmpty()) {
        return Change::Declined;
    }
    if (alongside.replacing) {
        alongside.replacing();
    }
    for (auto value = wanted.cbegin(); value != wanted.cend(); ++value) {
        values.insert(prefix + value.key(), value.value());
    }
    if (alongside.replaced) {
        alongside.replaced();
    }
    return Change::Stored;
}
