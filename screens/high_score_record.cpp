// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/high_score_record.h"

using namespace record;

QString HighScoreRecord::scoreText() const {
    return m_store.read(kApplication, kSection, kScoreKey, kDefaultScore);
}

QString HighScoreRecord::name() const {
    return m_store.read(kApplication, kSection, kNameKey, kDefaultName);
}

int32_t HighScoreRecord::score() const {
    return scoreFromText(scoreText());
}

int32_t HighScoreRecord::scoreFromText(const QString& text) {
    // Blanks around the digits do not make it another number; anything that
    // is not a whole number in range, or is not above 0, is no score.
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok && value > 0 ? static_cast<int32_t>(value) : 0;
}

SettingsStore::Change HighScoreRecord::saveIfHigher(const QString& name, int32_t score) {
    m_movedAside.clear();
    SettingsStore::Alongside alongside = game;
    alongside.movedAside = [this](const QString& path) { m_movedAside = path; };
    return m_store.write(
        kApplication, kSection,
        [&](const SettingsStore::Values& current) {
            if (score <= scoreFromText(current.value(kScoreKey, kDefaultScore))) {
                return SettingsStore::Values();
            }
            return SettingsStore::Values{{kNameKey, name}, {kScoreKey, QString::number(score)}};
        },
        alongside);
}
