// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tests/support/xvfb_server.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

// A test program's main on a private X server, so that windows take and lose
// the focus as they do on a desktop.
template <typename Test> int execOnXvfb(int argc, char** argv) {
    XvfbServer server;
    const QString display = server.start();
    if (display.isEmpty()) {
        std::fputs("needs Xvfb (scripts/install-deps installs it)\n", stderr);
        return 1;
    }
    qputenv("DISPLAY", display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
