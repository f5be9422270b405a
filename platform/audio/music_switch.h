// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/music_player.h"

// The player's music switch in front of the real player. While it is off
// no tune is opened, so no sound stream exists at all. Switched off, it
// closes the tune that plays; switched on while the game wants a tune, it
// plays that tune again from its start, as a player who turns the music
// back on expects to hear music at once, or once a paused game goes on.
class MusicSwitch : public MusicPlayer {
  public:
    MusicSwitch(MusicPlayer& player, bool on);
    ~MusicSwitch() override;

    bool isOn() const { return m_on; }
    void setOn(bool on);

    void setFileName(const QString& path) override;
    void open() override;
    void play() override;
    void stop() override;
    void close() override;
    void pause() override;
    void resume() override;

  private:
    void reopen();

    MusicPlayer& m_player;
    bool m_on;
    // What the game asked for, whether or not it reached the player.
    bool m_open = false;
    bool m_playing = false;
    bool m_paused = false;
    // Switched off and on again during a pause: the tune was closed, so the
    // resume starts it afresh.
    bool m_restartOnResume = false;
};
