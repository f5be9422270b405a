// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headless/stand_ins/stand_ins.h"

void ManualSleeper::sleep(int milliseconds) {
    lengths << milliseconds;
    m_clock.time = until >= 0.0 ? until : m_clock.time + milliseconds / 1000.0;
    if (meanwhile) {
        meanwhile();
    }
}

void ScriptedDialogs::MsgBox(const QString& text) {
    messages << text;
    if (whileShown) {
        whileShown();
    }
}

QString ScriptedDialogs::InputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText) {
    prompts << prompt + QChar('|') + title + QChar('|') + defaultText;
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

double SequenceRandom::next() {
    if (values.empty()) {
        return 0.0;
    }
    const double value = values.front();
    values.pop_front();
    return value;
}
