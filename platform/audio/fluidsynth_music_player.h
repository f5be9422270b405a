// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/music_player.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <memory>

// The bytes of a tune file, or nothing when the path is no tune: not a
// regular file (a pipe or a device could block the reader), or too big to be
// one. Read whole, so nothing waits on the file later.
QByteArray readTuneFile(const QString& path);

// Plays standard MIDI files through FluidSynth with a General MIDI soundfont.
//
// The soundfont is loaded once, when the player is made: that takes tens of
// milliseconds (hundreds for the big ones), too long for the start of a game.
// The sound output, on the other hand, exists only while a tune plays: an
// open output streams even silence, costing CPU here and in the sound server,
// and a fresh one for every tune finds a sound server that has restarted
// since the last. Opening and closing an output can take a while (a sound
// server that hangs holds it for half a minute), so it happens on a thread of
// its own; the user-interface thread never waits for it.
//
// Where a folder is given, each tune is rendered once and kept there, and
// from then on played from its rendering (see KeptTune).
//
// Every failure stays inside: the caller only hears silence. FluidSynth's and
// ALSA's messages go to the spinmarsh.audio logging category, off unless
// QT_LOGGING_RULES switches it on.
class FluidSynthMusicPlayer : public MusicPlayer {
  public:
    struct Options {
        // Soundfonts to try in order; empty means defaultSoundFonts().
        QStringList soundFonts;
        // FluidSynth settings by name, over the player's own ("audio.driver",
        // "audio.file.name", "audio.pulseaudio.server", ...). Without
        // "audio.driver", the sound server's own stream, then ALSA.
        QMap<QString, QString> settings;
        // How the sound server's mixer shows the music; empty leaves
        // FluidSynth's own name.
        QString applicationName;
        QString iconName;
        // Where each tune, rendered once, is kept to be played again without
        // synthesizing it; empty keeps none.
        QString keptTunes;
    };

    explicit FluidSynthMusicPlayer(const Options& options = {});
    ~FluidSynthMusicPlayer() override;
    FluidSynthMusicPlayer(const FluidSynthMusicPlayer&) = delete;
    FluidSynthMusicPlayer& operator=(const FluidSynthMusicPlayer&) = delete;

    void setFileName(const QString& path) override;
    void open() override;
    void play() override;
    void stop() override;
    void close() override;
    // The output closes and the tune stands where it is, notes and all; on
    // resuming a new output plays on from the last sound heard, including
    // what the sound server held ahead and dropped.
    void pause() override;
    void resume() override;

    // The small Debian soundfont first: the big one takes half a second and
    // 170 MB to load, for background music nobody can tell apart.
    static QStringList defaultSoundFonts();

  private:
    struct Engine;

    void tuneRanOut(int generation);

    std::unique_ptr<Engine> m_engine; // used on m_output's thread only, once made
    QThreadPool m_output;             // one thread: opens, plays and closes in order
    QObject m_events;                 // receives the end of a tune on this thread

    QString m_fileName;
    QByteArray m_tune;       // the open file's bytes; empty when none is open
    bool m_sounding = false; // play() has been asked since the last stop()
    bool m_paused = false;   // pause() has been asked since, and no resume()
    int m_generation = 0;    // counts play() and stop(), so a late end of an old tune is ignored
};
