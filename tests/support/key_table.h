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

// The keys dist/keys.tsv lists, as (screen, key) pairs: "play" and "←",
// "any" and "M".
inline QSet<std::pair<QString, QString>> listedKeys() {
    QSet<std::pair<QString, QString>> listed;
    QFile file(QStringLiteral(SPINMARSH_SOURCE_DIR "/dist/keys.tsv"));
    if (!file.open(QIODevice::ReadOnly)) {
        return listed;
    }
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (line.startsWith(QLatin1Char('#')) || fields.size() < 2) {
            continue;
        }
        const QStringList keys =
            fields[0].split(QRegularExpression(QStringLiteral("[ ,]+")), Qt::SkipEmptyParts);
        for (const QString& screen : fields[1].split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            for (const QString& key : keys) {
                listed.insert({screen, key});
            }
        }
    }
    return listed;
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
