// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/form1.h"

#include "base/numbers.h"

// Picks one of the two tunes at random and plays it from the start, whatever
// was playing before.
void Form1::PlayMusic() {
    m_env.random.reseedFromClock();
    const int16_t choice = cint16(m_env.random.next());
    const QString digit = QString::number(choice);
    m_env.music.stop();
    m_env.music.close();
    m_env.music.setFileName(m_env.tuneDir + QStringLiteral("/") + digit + QStringLiteral(".mid"));
    m_env.music.open();
    m_env.music.play();
}
