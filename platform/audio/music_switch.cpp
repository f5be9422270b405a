// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/audio/music_switch.h"

MusicSwitch::MusicSwitch(MusicPlayer& player, bool on) : m_player(player), m_on(on) {
    m_player.tuneEnded = [this] {
        m_playing = false;
        if (tuneEnded) {
            tuneEnded();
        }
    };
}

MusicSwitch::~MusicSwitch() {
    m_player.tuneEnded = nullptr;
}

void MusicSwitch::setOn(bool on) {
    if (on == m_on) {
        return;
    }
    m_on = on;
    if (!on) {
        m_restartOnResume = false;
        m_player.stop();
        m_player.close();
    } else if (m_paused) {
        m_restartOnResume = m_open;
    } else {
        reopen();
    }
}

void MusicSwitch::reopen() {
    if (m_open) {
        m_player.open();
        if (m_playing) {
            m_player.play();
        }
    }
}

void MusicSwitch::setFileName(const QString& path) {
    m_player.setFileName(path);
}

void MusicSwitch::open() {
    m_open = true;
    if (m_on) {
        m_player.open();
    }
}

void MusicSwitch::play() {
    m_playing = m_open;
    if (m_on) {
        m_player.play();
    }
}

void MusicSwitch::stop() {
    m_playing = false;
    m_player.stop();
}

void MusicSwitch::close() {
    m_open = false;
    m_playing = false;
    m_player.close();
}

void MusicSwitch::pause() {
    m_paused = true;
    if (m_on) {
        m_player.pause();
    }
}

void MusicSwitch::resume() {
    m_paused = false;
    if (!m_on) {
        return;
    }
    if (m_restartOnResume) {
        m_restartOnResume = false;
        reopen();
    } else {
        m_player.resume();
    }
}
