// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/sleeper.h"

#include <QThread>

void ThreadSleeper::sleep(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}
