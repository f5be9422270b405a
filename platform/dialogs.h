// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The two modal dialogs. Both block the caller and run a nested event loop.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // A message with an OK button and no icon, captioned "Spinmarsh".
    virtual void MsgBox(const QString& text) = 0;
    // A one-line text entry; returns the typed text, or "" on Cancel. A
    // carriage return in the prompt breaks the line.
    virtual QString InputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
};

// Answers from a script and remembers what was asked.
class ScriptedDialogs : public Dialogs {
  public:
    void MsgBox(const QString& text) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

    QStringList messages;
    QStringList prompts;
    QStringList answers; // taken from the front; "" once empty, as on Cancel
    // Runs while a message is up, as the real box's own event loop lets other
    // events in.
    std::function<void()> whileShown;
};
