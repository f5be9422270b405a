// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <functional>

// A player of standard MIDI files. Every operation returns at once and never
// reports a failure to the caller: a missing file or a missing sound device
// just means silence.
class MusicPlayer {
  public:
    virtual ~MusicPlayer() = default;
    virtual void setFileName(const QString& path) = 0; // the file the next open() opens
    virtual void open() = 0;
    virtual void play() = 0;  // from the start, in the background
    virtual void stop() = 0;  // nothing when nothing plays
    virtual void close() = 0; // nothing when nothing is open
    // Stops the tune and closes the sound output, remembering where the tune was; resume() goes on
    // from there. Both do nothing when no tune is open.
    virtual void pause() = 0;
    virtual void resume() = 0;

    // Called on the user-interface thread when a tune has played to its end;
    // never when it was cut short by stop() or close(), nor while paused.
    std::function<void()> tuneEnded;
};
