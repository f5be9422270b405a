#pragma once

#include "platform/music_player.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

// Plays standard MIDI files through FluidSynth with a General MIDI soundfont.
//
// The soundfont is loaded and the sound output opened once, when the player is
// made: loading a soundfont takes tens of milliseconds (hundreds for the big
// ones), far too long to do when a game starts. open() and play() then only
// read a small file and hand it to the synthesizer.
//
// tuneEnded comes from a timer on the thread that made the player (the
// user-interface thread), which looks for the end of the tune every 50 ms.
//
// Every failure stays inside: the caller sees silence, lastError() and
// errorString() say why. FluidSynth and ALSA keep quiet on the terminal unless
// SPINMARSH_AUDIO_DEBUG is set in the environment.
class FluidSynthMusicPlayer : public MusicPlayer {
  public:
    enum Error {
        NoError = 0,
        NoSynthesizer,   // FluidSynth could not make a synthesizer
        NoSoundFont,     // none of the soundfonts could be loaded
        NoAudioDevice,   // no sound output (or the render file could not be written)
        NoSuchFile,      // the named file does not exist
        UnreadableFile,  // it exists but cannot be read
        UnsupportedType, // not a .mid or .midi file
        BadMidiFile,     // not a standard MIDI file, or a damaged one
        NotOpen,         // play() with no tune open
        PlayerFailed,    // FluidSynth refused the tune
    };

    struct Options {
        // Soundfonts to try in order; empty means defaultSoundFonts().
        QStringList soundFonts;
        // FluidSynth audio drivers to try in order; empty means the usual ones.
        QStringList audioDrivers;
        // Further FluidSynth settings by name, e.g. "audio.alsa.device".
        QMap<QString, QString> settings;
        // When set, the music goes into this WAV file instead of a sound
        // device, rendered as fast as the machine allows. For tests.
        QString renderFile;
    };

    FluidSynthMusicPlayer();
    explicit FluidSynthMusicPlayer(const Options& options);
    ~FluidSynthMusicPlayer() override;
    FluidSynthMusicPlayer(const FluidSynthMusicPlayer&) = delete;
    FluidSynthMusicPlayer& operator=(const FluidSynthMusicPlayer&) = delete;

    void setFileName(const QString& path) override;
    void open() override;
    void play() override;
    void stop() override;
    void close() override;

    // The small Debian soundfont first: the big one takes half a second and
    // 170 MB to load, for background music nobody can tell apart.
    static QStringList defaultSoundFonts();

    // Whether a soundfont and a sound output are there, so that play() can sound.
    bool isReady() const;
    bool isOpen() const { return m_open; }
    bool isPlaying() const;
    // The status of the most recent command (or of the start-up, before any).
    int lastError() const { return m_error; }
    QString errorString() const { return m_errorString; }
    QString soundFont() const { return m_soundFont; }
    QString audioDriver() const { return m_audioDriver; }
    // Time spent making the synthesizer, loading the soundfont and opening
    // the sound output, in milliseconds.
    double startupMilliseconds() const { return m_startupMs; }

  private:
    struct Engine;

    void prepare();
    void setError(Error error, const QString& detail = {});
    void discardTune(); // stops and forgets FluidSynth's player
    void checkForEnd();

    Options m_options;
    std::unique_ptr<Engine> m_engine;
    QTimer m_endWatch; // looks for the natural end of a tune, on the UI thread

    QString m_fileName;
    QByteArray m_tune; // the open file's bytes
    bool m_open = false;
    int m_error = NoError;
    QString m_errorString;
    QString m_soundFont;
    QString m_audioDriver;
    double m_startupMs = 0.0;
};
