// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/audio/fluidsynth_music_player.h"

#include "platform/audio/kept_tune.h"
#include "platform/audio/pulse_stream.h"
#include "platform/logging.h"
#include "platform/regular_file.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <atomic>
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

// FluidSynth renders this many frames at a time, and moves the tune on
// between them.
constexpr qint64 kSynthBlockFrames = 64;

// What a pause keeps of the sound rendered ahead, to play again on resuming:
// more than the sound server ever holds.
constexpr qint64 kRememberedFrames = qint64{2} * 44100;

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

// All that makes a tune's rendering what it is, but the tune: the
// synthesizer's version (and with it its defaults), the soundfont and every
// setting given.
QByteArray renderingKey(const QByteArray& soundFont, const QMap<QString, QString>& settings,
                        double rate) {
    const QFileInfo font(QFile::decodeName(soundFont));
    QByteArray key = QByteArray("FluidSynth ") + fluid_version_str() + '\n' + soundFont + ' ' +
                     QByteArray::number(font.size()) + ' ' +
                     QByteArray::number(font.lastModified().toMSecsSinceEpoch()) + '\n' +
                     QByteArray::number(kSynthGain) + ' ' + QByteArray::number(rate) + '\n';
    for (auto setting = settings.cbegin(); setting != settings.cend(); ++setting) {
        key += setting.key().toUtf8() + '=' + setting.value().toUtf8() + '\n';
    }
    return key;
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

    // The last of what the stream was given, kRememberedFrames at least, and what
    // a pause found unheard in it, to be played first when the tune goes on.
    std::vector<float> rendered;
    std::vector<float> unheard;

    // Where the tunes' renderings are kept (empty: nowhere), and what
    // besides the tune makes a rendering what it is.
    QString keptFolder;
    QByteArray keptKey;
    // The playing tune's rendering: read when it was kept before, written
    // while the synthesizer renders it, nothing when it cannot be kept.
    std::unique_ptr<KeptTune> kept;
    qint64 position = 0; // frames played of a kept rendering
    // The game is closing: no more of a tune is rendered to be kept.
    std::atomic<bool> leaving = false;

    // Of the tune playing: its generation, whether it has reached the tick
    // at which it ends, the frame of its rendering at which it did, and
    // whether the end has been told. FluidSynth's player would go on until
    // every voice has died away and then two seconds more (up to ten seconds
    // of silence after our tunes); the tune ends here one beat after its last
    // event instead, enough for the last notes to ring.
    int generation = 0;
    int endTick = INT_MAX;
    bool endReached = false;
    qint64 endFrame = -1;
    bool endTold = false;

    static int onTick(void* data, int tick) {
        auto* engine = static_cast<Engine*>(data);
        if (tick >= engine->endTick) {
            engine->endReached = true;
            engine->tellEnd();
        }
        return FLUID_OK;
    }

    void tellEnd() {
        if (endTold) {
            return;
        }
        endTold = true;
        QMetaObject::invokeMethod(
            &owner->m_events,
            [owner = owner, generation = generation] { owner->tuneRanOut(generation); },
            Qt::QueuedConnection);
    }

    // Where the tune's rendering is kept; empty when it is not: only the
    // sound server's stream plays a kept rendering.
    QString keptPath(const QByteArray& tune) const {
        if (keptFolder.isEmpty() || !drivers.contains(QStringLiteral("pulseaudio"))) {
            return {};
        }
        const QByteArray name =
            QCryptographicHash::hash(keptKey + tune, QCryptographicHash::Sha256).toHex().left(32);
        return keptFolder + QChar('/') + QString::fromLatin1(name) + QStringLiteral(".tune");
    }

    void start(const QByteArray& tune, int tuneGeneration) {
        stop();
        if (tune.size() < 14) {
            return; // not even a header
        }
        generation = tuneGeneration;
        endTick = INT_MAX;
        endReached = false;
        endFrame = -1;
        endTold = false;
        position = 0;
        const QString keptAt = keptPath(tune);
        if (!keptAt.isEmpty()) {
            kept = KeptTune::open(keptAt);
        }
        // Every tune rings on after its last note for as long as the server
        // holds; a shorter rendering would end at once, and the next tune
        // with it.
        if (kept && kept->frames() < qint64{server.rate} * PulseStream::kHeldMs / 1000) {
            kept.reset();
        }
        if (kept) {
            stream = openStream();
            if (stream) {
                return;
            }
            kept.reset();
        }
        player = new_fluid_player(synth);
        if (!player || fluid_player_set_tick_callback(player, &Engine::onTick, this) != FLUID_OK ||
            fluid_player_add_mem(player, tune.constData(), static_cast<size_t>(tune.size())) !=
                FLUID_OK ||
            fluid_player_play(player) != FLUID_OK) {
            return stop();
        }
        // FluidSynth reads the tune when it first renders. One block here
        // shows whether it took the tune, before any output is opened for
        // it: a damaged file would leave an output streaming silence.
        std::array<float, 2 * kSynthBlockFrames> block{};
        fluid_synth_write_float(synth, kSynthBlockFrames, block.data(), 0, 2, block.data(), 1, 2);
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
        if (!keptAt.isEmpty()) {
            kept = KeptTune::create(keptAt);
        }
        openOutput();
    }

    // On the stream's thread: what was not heard at the last pause first,
    // then the tune.
    void render(float* samples, int frames) {
        const auto replayed = std::min<qsizetype>(qsizetype{2} * frames, std::ssize(unheard));
        std::copy_n(unheard.begin(), replayed, samples);
        unheard.erase(unheard.begin(), unheard.begin() + replayed);
        produce(samples + replayed, frames - replayed / 2);
        rendered.insert(rendered.end(), samples, samples + 2 * qsizetype{frames});
        if (std::ssize(rendered) > 4 * kRememberedFrames) {
            rendered.erase(rendered.begin(), rendered.end() - 2 * kRememberedFrames);
        }
    }

    // The tune's next frames: from its kept rendering, silence after its
    // end, or from the synthesizer.
    void produce(float* samples, qint64 frames) {
        if (!kept || !kept->finished()) {
            return synthesize(samples, frames);
        }
        const qint64 read = kept->read(position, samples, frames);
        position += read;
        std::fill(samples + 2 * read, samples + 2 * frames, 0.0F);
        if (read < frames) {
            tellEnd();
        }
    }

    // While the tune's rendering is being kept, up to its end, a block's
    // worth at a time: the synthesizer renders a block when its first frame
    // is asked for, so the kept rendering ends with the block in which the
    // tune ended, however the sound server asked for the frames.
    void synthesize(float* samples, qint64 frames) {
        if (!kept || (endFrame >= 0 && kept->frames() >= endFrame)) {
            fluid_synth_write_float(synth, static_cast<int>(frames), samples, 0, 2, samples, 1, 2);
            return;
        }
        for (qint64 done = 0; done < frames; done += kSynthBlockFrames) {
            const auto part = static_cast<int>(std::min(kSynthBlockFrames, frames - done));
            float* const at = samples + 2 * done;
            fluid_synth_write_float(synth, part, at, 0, 2, at, 1, 2);
            if (endReached && endFrame < 0) {
                // Blocks lie on a grid from the first frame kept.
                const qint64 blockStart = (kept->frames() + done + kSynthBlockFrames - 1) /
                                          kSynthBlockFrames * kSynthBlockFrames;
                endFrame = blockStart + kSynthBlockFrames;
            }
        }
        const qint64 keeping = endFrame < 0 ? frames : std::min(frames, endFrame - kept->frames());
        if (!kept->append(samples, keeping)) {
            kept.reset(); // the disk is full: the tune plays on, unkept
        }
    }

    // The rest of a tune whose rendering is being kept, rendered at once
    // when it stops, so that its next play reads it all: about a second of
    // one core for one of our tunes, once.
    void keepRest() {
        if (!kept || kept->finished() || !player) {
            return;
        }
        endTold = true; // nobody listens any more
        std::array<float, std::size_t{2} * kPeriodFrames> block{};
        const auto keeping = [this] { return kept && (endFrame < 0 || kept->frames() < endFrame); };
        while (keeping() && !leaving && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING) {
            synthesize(block.data(), kPeriodFrames);
        }
        if (kept && kept->frames() == endFrame) {
            kept->finish();
        }
    }

    std::unique_ptr<PulseStream> openStream() {
        return PulseStream::open(server,
                                 [this](float* samples, int frames) { render(samples, frames); });
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
        if ((player || kept) && !driver && !stream) {
            generation = tuneGeneration;
            openOutput();
        }
    }

    void openOutput() {
        for (const QString& name : drivers) {
            if (name == u"pulseaudio") {
                stream = openStream();
                if (stream) {
                    return;
                }
                continue;
            }
            if (!player) {
                continue; // a kept rendering plays only through the stream
            }
            kept.reset(); // FluidSynth's own drivers render past it
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
        keepRest();
        kept.reset();
        if (player) {
            delete_fluid_player(player);
        }
        player = nullptr;
        // No note of this tune hangs on into the next.
        fluid_synth_system_reset(synth);
    }

    ~Engine() {
        closeOutput();
        kept.reset();
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
            engine.keptFolder = options.keptTunes;
            engine.keptKey = renderingKey(name, options.settings, rate);
            return;
        }
    }
    delete_fluid_synth(engine.synth); // no soundfont, no music
    engine.synth = nullptr;
}

FluidSynthMusicPlayer::~FluidSynthMusicPlayer() {
    m_engine->leaving = true;
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
