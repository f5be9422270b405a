// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/audio/fluidsynth_music_player.h"

#include "platform/audio/pulse_stream.h"
#include "platform/logging.h"
#include "platform/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <vector>

namespace {

// Our tunes are a few kilobytes; standard MIDI files of whole symphonies stay
// under a megabyte.
constexpr qint64 kMaxTuneBytes = qint64{4} * 1024 * 1024;

// Loud enough over the game's silence, with room for a full band before clipping.
constexpr double kSynthGain = 0.5;

// FluidSynth's own drivers (ALSA here) render and write a period at a time,
// 1024 frames (23 ms at 44.1 kHz); its default of small periods wakes the
// output thread several times as often. ALSA gets 4 of them as its buffer.
// Stopping waits for the period being written, so a period is also the most
// a stop lags.
constexpr int kPeriodFrames = 1024;
constexpr int kPeriods = 4;

// What a pause keeps of the sound rendered ahead, to play again on resuming:
// more than the sound server ever holds.
constexpr qint64 kKeptFrames = qint64{2} * 44100;

// PulseAudio (or PipeWire's stand-in for it) is what a desktop plays through;
// plain ALSA for the rest. JACK is left out: its client may start a server.
const QStringList UsualAudioDrivers{QStringLiteral("pulseaudio"), QStringLiteral("alsa")};

void logFluidSynth(int level, const char* message, void*) {
    if (level >= FLUID_INFO) {
        qCDebug(lcAudio, "FluidSynth: %s", message);
    } else {
        qCWarning(lcAudio, "FluidSynth: %s", message);
    }
}

void logAlsa(const char* file, int line, const char* function, int err, const char* format, ...) {
    if (!lcAudio().isWarningEnabled()) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    const QString message = QString::vasprintf(format, arguments);
    va_end(arguments);
    qCWarning(lcAudio, "ALSA: %s:%d (%s) %s%s%s", file, line, function, qPrintable(message),
              err != 0 ? ": " : "", err != 0 ? snd_strerror(err) : "");
}

// The terminal belongs to the game: a missing sound card is not worth a line
// unless the spinmarsh.audio category is switched on.
void routeLibraryMessages() {
    for (int level = 0; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, logFluidSynth, nullptr);
    }
    snd_lib_error_set_handler(logAlsa);
}

// The sound server's settings keep FluidSynth's names, so that a setting
// given to the player means what FluidSynth's documentation says; "default"
// is the empty choice.
QByteArray pulseSetting(fluid_settings_t* settings, const char* name) {
    char* value = nullptr;
    if (fluid_settings_dupstr(settings, name, &value) != FLUID_OK || !value) {
        return {};
    }
    QByteArray setting(value);
    fluid_free(value);
    return setting == "default" ? QByteArray() : setting;
}

} // namespace

QByteArray readTuneFile(const QString& path) {
    return readRegularFile(path, kMaxTuneBytes).bytes;
}

// FluidSynth's side of the player, used on the output thread only (and the
// rendering and the tick callback on the sound output's own thread).
struct FluidSynthMusicPlayer::Engine {
    FluidSynthMusicPlayer* owner = nullptr;
    QStringList drivers;
    PulseStream::Options server;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    // The output: the sound server's stream, or one of FluidSynth's drivers.
    std::unique_ptr<PulseStream> stream;
    fluid_audio_driver_t* driver = nullptr;

    // The last of what the stream was given, kKeptFrames at least, and what
    // a pause found unheard in it, to be played first when the tune goes on.
    std::vector<float> rendered;
    std::vector<float> unheard;

    // Of the tune playing: its generation, the tick at which it has ended,
    // and whether the end has been told. FluidSynth's player would go on
    // until every voice has died away and then two seconds more (up to ten
    // seconds of silence after our tunes); the tune ends here one beat after
    // its last event instead, enough for the last notes to ring.
    int generation = 0;
    int endTick = INT_MAX;
    bool endTold = false;

    static int onTick(void* data, int tick) {
        auto* engine = static_cast<Engine*>(data);
        if (!engine->endTold && tick >= engine->endTick) {
            engine->endTold = true;
            QMetaObject::invokeMethod(
                &engine->owner->m_events,
                [owner = engine->owner, generation = engine->generation] {
                    owner->tuneRanOut(generation);
                },
                Qt::QueuedConnection);
        }
        return FLUID_OK;
    }

    void start(const QByteArray& tune, int tuneGeneration) {
        stop();
        if (tune.size() < 14) {
            return; // not even a header
        }
        generation = tuneGeneration;
        endTick = INT_MAX;
        endTold = false;
        player = new_fluid_player(synth);
        if (!player || fluid_player_set_tick_callback(player, &Engine::onTick, this) != FLUID_OK ||
            fluid_player_add_mem(player, tune.constData(), static_cast<size_t>(tune.size())) !=
                FLUID_OK ||
            fluid_player_play(player) != FLUID_OK) {
            return stop();
        }
        // FluidSynth reads the tune when it first renders. One short block
        // here shows whether it took the tune, before any output is opened
        // for it: a damaged file would leave an output streaming silence.
        float left[64];
        float right[64];
        fluid_synth_write_float(synth, 64, left, 0, 1, right, 0, 1);
        if (fluid_player_get_status(player) != FLUID_PLAYER_PLAYING) {
            return stop();
        }
        const int ticksPerBeat = qFromBigEndian<quint16>(tune.constData() + 12) & 0x7fff;
        // The output renders ahead of what is heard by what the sound
        // server holds, and closing it drops that: the end waits that much
        // longer, so the last notes still ring.
        const qint64 ticksBuffered = qint64{PulseStream::kHeldMs} * 1000 * ticksPerBeat /
                                     qMax(1, fluid_player_get_midi_tempo(player));
        endTick =
            fluid_player_get_total_ticks(player) + ticksPerBeat + static_cast<int>(ticksBuffered);
        openOutput();
    }

    // On the stream's thread: what was not heard at the last pause first,
    // then the tune.
    void render(float* samples, int frames) {
        const auto replayed = std::min<qsizetype>(qsizetype{2} * frames, std::ssize(unheard));
        std::copy_n(unheard.begin(), replayed, samples);
        unheard.erase(unheard.begin(), unheard.begin() + replayed);
        float* const fresh = samples + replayed;
        fluid_synth_write_float(synth, frames - static_cast<int>(replayed / 2), fresh, 0, 2, fresh,
                                1, 2);
        rendered.insert(rendered.end(), samples, samples + 2 * qsizetype{frames});
        if (std::ssize(rendered) > 4 * kKeptFrames) {
            rendered.erase(rendered.begin(), rendered.end() - 2 * kKeptFrames);
        }
    }

    // Without an output nothing renders, so the player stands still: its
    // clock counts the samples rendered. What the sound server held and the
    // listener never heard is played again when an output opens, so the tune
    // goes on from the sample last heard.
    void pause() {
        if (stream) {
            const qint64 frames = std::min(stream->halt(), qint64{std::ssize(rendered)} / 2);
            unheard.insert(unheard.begin(), rendered.end() - 2 * frames, rendered.end());
        }
        closeOutput();
        // An end told just now went to a generation nobody listens to any
        // more; it is told again once the tune runs on.
        endTold = false;
    }

    void resume(int tuneGeneration) {
        if (player && !driver && !stream) {
            generation = tuneGeneration;
            openOutput();
        }
    }

    void openOutput() {
        for (const QString& name : drivers) {
            if (name == u"pulseaudio") {
                stream = PulseStream::open(
                    server, [this](float* samples, int frames) { render(samples, frames); });
                if (stream) {
                    return;
                }
                continue;
            }
            fluid_settings_setstr(settings, "audio.driver", name.toLatin1().constData());
            driver = new_fluid_audio_driver(settings, synth);
            if (driver) {
                return;
            }
        }
        stop();
    }

    void closeOutput() {
        stream.reset();
        if (driver) {
            delete_fluid_audio_driver(driver);
        }
        driver = nullptr;
        rendered.clear();
    }

    void stop() {
        // The output goes first, so nothing renders while the rest is taken apart.
        closeOutput();
        unheard.clear();
        if (player) {
            delete_fluid_player(player);
        }
        player = nullptr;
        // No note of this tune hangs on into the next.
        fluid_synth_system_reset(synth);
    }

    ~Engine() {
        if (synth) {
            stop();
        }
        if (synth) {
            delete_fluid_synth(synth);
        }
        if (settings) {
            delete_fluid_settings(settings);
        }
    }
};

FluidSynthMusicPlayer::FluidSynthMusicPlayer(const Options& options)
    : m_engine(std::make_unique<Engine>()) {
    m_output.setMaxThreadCount(1);
    routeLibraryMessages();

    Engine& engine = *m_engine;
    engine.owner = this;
    engine.settings = new_fluid_settings();
    if (!engine.settings) {
        return;
    }
    // Locking 30 MB of samples into memory needs privileges a game does not have.
    fluid_settings_setint(engine.settings, "synth.lock-memory", 0);
    fluid_settings_setnum(engine.settings, "synth.gain", kSynthGain);
    fluid_settings_setint(engine.settings, "audio.period-size", kPeriodFrames);
    fluid_settings_setint(engine.settings, "audio.periods", kPeriods);
    fluid_settings_setstr(engine.settings, "audio.pulseaudio.media-role", "game");
    for (auto setting = options.settings.cbegin(); setting != options.settings.cend(); ++setting) {
        fluid_settings_setstr(engine.settings, setting.key().toUtf8().constData(),
                              setting.value().toUtf8().constData());
    }
    engine.drivers = options.settings.contains(QStringLiteral("audio.driver"))
                         ? QStringList{options.settings.value(QStringLiteral("audio.driver"))}
                         : UsualAudioDrivers;
    double rate = 0.0;
    fluid_settings_getnum(engine.settings, "synth.sample-rate", &rate);
    engine.server = {.server = pulseSetting(engine.settings, "audio.pulseaudio.server"),
                     .sink = pulseSetting(engine.settings, "audio.pulseaudio.device"),
                     .rate = static_cast<int>(rate),
                     .applicationName = options.applicationName,
                     .iconName = options.iconName,
                     .role = pulseSetting(engine.settings, "audio.pulseaudio.media-role")};

    engine.synth = new_fluid_synth(engine.settings);
    if (!engine.synth) {
        return;
    }
    const QStringList fonts =
        options.soundFonts.isEmpty() ? defaultSoundFonts() : options.soundFonts;
    for (const QString& font : fonts) {
        const QByteArray name = QFile::encodeName(font);
        // Only a real soundfont: FluidSynth hands anything else to a loader
        // that complains on the terminal.
        if (QFileInfo(font).isFile() && fluid_is_soundfont(name.constData()) &&
            fluid_synth_sfload(engine.synth, name.constData(), 1) != FLUID_FAILED) {
            return;
        }
    }
    delete_fluid_synth(engine.synth); // no soundfont, no music
    engine.synth = nullptr;
}

FluidSynthMusicPlayer::~FluidSynthMusicPlayer() {
    m_output.clear();
    m_output.waitForDone();
    m_engine.reset(); // closes the output while m_events can still take its news
}

QStringList FluidSynthMusicPlayer::defaultSoundFonts() {
    QStringList fonts{QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2")};
    if (fluid_settings_t* settings = new_fluid_settings()) {
        char* synthDefault = nullptr;
        if (fluid_settings_getstr_default(settings, "synth.default-soundfont", &synthDefault) ==
                FLUID_OK &&
            synthDefault != nullptr && *synthDefault != '\0') {
            fonts << QString::fromLocal8Bit(synthDefault);
        }
        delete_fluid_settings(settings);
    }
    fonts << QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2")
          << QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2");
    fonts.removeDuplicates();
    return fonts;
}

void FluidSynthMusicPlayer::setFileName(const QString& path) {
    m_fileName = path;
}

void FluidSynthMusicPlayer::open() {
    close();
    m_tune = readTuneFile(m_fileName);
}

void FluidSynthMusicPlayer::play() {
    if (m_tune.isEmpty() || !m_engine->synth) {
        return;
    }
    const int generation = ++m_generation;
    m_sounding = true;
    m_paused = false;
    m_output.start(
        [engine = m_engine.get(), tune = m_tune, generation] { engine->start(tune, generation); });
}

void FluidSynthMusicPlayer::stop() {
    if (!m_sounding) {
        return;
    }
    m_sounding = false;
    m_paused = false;
    ++m_generation;
    m_output.start([engine = m_engine.get()] { engine->stop(); });
}

void FluidSynthMusicPlayer::pause() {
    if (!m_sounding || m_paused) {
        return;
    }
    m_paused = true;
    ++m_generation; // the tune cannot end while it stands still
    m_output.start([engine = m_engine.get()] { engine->pause(); });
}

void FluidSynthMusicPlayer::resume() {
    if (!m_paused) {
        return;
    }
    m_paused = false;
    m_output.start(
        [engine = m_engine.get(), generation = m_generation] { engine->resume(generation); });
}

void FluidSynthMusicPlayer::close() {
    stop();
    m_tune.clear();
}

void FluidSynthMusicPlayer::tuneRanOut(int generation) {
    if (generation != m_generation) {
        return; // stopped or started anew since
    }
    stop(); // the tune stays open: play() starts it again
    // The listener starts the next tune from in here; it gets a copy of
    // itself to run, so it may even replace tuneEnded.
    if (auto notify = tuneEnded) {
        notify();
    }
}
