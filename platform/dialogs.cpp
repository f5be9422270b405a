// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/dialogs.h"

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
