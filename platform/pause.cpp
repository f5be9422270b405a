// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/pause.h"

#include <QThread>

void SleepPause::pause(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void ManualPause::pause(int milliseconds) {
    lengths << milliseconds;
    m_clock.time = until >= 0.0 ? until : m_clock.time + milliseconds / 1000.0;
    if (meanwhile) {
        meanwhile();
    }
}
