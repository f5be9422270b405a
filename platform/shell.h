// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Opens an address in the desktop's default handler.
class Shell {
  public:
    virtual ~Shell() = default;
    virtual bool open(const QString& address) = 0;
};

class DesktopShell : public Shell {
  public:
    bool open(const QString& address) override;
};
