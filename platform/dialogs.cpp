// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/dialogs.h"

QString ScriptedDialogs::InputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText) {
    prompts << prompt + QChar('|') + title + QChar('|') + defaultText;
    return answers.isEmpty() ? QString() : answers.takeFirst();
}
