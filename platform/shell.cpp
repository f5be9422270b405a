// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/shell.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopShell::open(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}
