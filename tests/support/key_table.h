// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/key_codes.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>

// The keys of `taken` that dist/keys.tsv does not list for `screen` or for
// every screen ("any").
inline QStringList unlisted(const QStringList& taken, const QString& screen) {
    QSet<QString> listed;
    QFile file(QStringLiteral(SPINMARSH_SOURCE_DIR "/dist/keys.tsv"));
    file.open(QIODevice::ReadOnly); // unread, no key is listed
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        const QStringList screens = fields.value(1).split(QLatin1Char(' '));
        if (!line.startsWith(QLatin1Char('#')) &&
            (screens.contains(screen) || screens.contains(QStringLiteral("any")))) {
            for (const QString& key :
                 fields[0].split(QRegularExpression(QStringLiteral("[ ,]+")))) {
                listed.insert(key);
            }
        }
    }
    QStringList missing = taken;
    missing.removeIf([&listed](const QString& key) { return listed.contains(key); });
    return missing;
}

// A virtual-key code as keys.tsv names it.
inline QString keyName(int16_t code) {
    const std::pair<int16_t, const char*> named[] = {
        {key::kEnter, "Enter"}, {key::kPause, "Pause"}, {key::kEscape, "Escape"}, {key::kLeft, "←"},
        {key::kUp, "↑"},        {key::kRight, "→"},     {key::kDown, "↓"}};
    for (const auto& [namedCode, name] : named) {
        if (code == namedCode) {
            return QString::fromUtf8(name);
        }
    }
    if (code >= key::kF1 && code < key::kF1 + 12) {
        return QStringLiteral("F%1").arg(code - key::kF1 + 1);
    }
    return code > 32 && code < 127 ? QString(QChar(code)) : QStringLiteral("key %1").arg(code);
}
