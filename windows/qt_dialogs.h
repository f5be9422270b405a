// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/dialogs.h"

// The two dialogs as Qt's message box and input dialog.
class QtDialogs : public Dialogs {
  public:
    void MsgBox(const QString& text) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
};
