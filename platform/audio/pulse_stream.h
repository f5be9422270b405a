// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// One playback stream to a PulseAudio server (or PipeWire's stand-in for
// it), fed by a render function on the stream's own thread.
//
// The server holds a good part of a second ahead and asks for more only when
// half of that has played, so the thread and the server wake a few times a
// second instead of every few milliseconds. Closing drops what the server
// holds, so the sound stops at once however much it held; and the stream
// says how much of what it was given was never heard, so whoever renders can
// play that again next time.
class PulseStream {
  public:
    // What the server holds of the stream, all told.
    static constexpr int kHeldMs = 1000;

    struct Options {
        QByteArray server; // empty: the user's usual server
        QByteArray sink;   // empty: the server's default sink
        int rate = 44100;
        // How the mixer shows the stream.
        QString applicationName;
        QString iconName;
        QByteArray role;
    };
    // Fills `frames` frames of interleaved stereo samples.
    using Render = std::function<void(float* samples, int frames)>;

    // The stream, playing; nothing when no server takes it.
    static std::unique_ptr<PulseStream> open(const Options& options, Render render);
    ~PulseStream(); // silent at once
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Stops the stream where the listener is and says how many of the frames
    // rendered were not heard: the last ones rendered. The stream stays
    // silent until it is destroyed.
    qint64 halt();

  private:
    struct Connection;
    explicit PulseStream(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> m_connection;
};
