// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

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
