#include "platform/fluidsynth_music_player.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <fluidsynth.h>
#include <glib.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

// How often the user-interface thread looks whether a tune has ended. A tune's
// last bar rings out longer than this, so nobody hears the gap.
constexpr int EndWatchIntervalMs = 50;

// MIDI controller numbers.
constexpr int SustainPedal = 64;
constexpr int SostenutoPedal = 66;

// Loud enough over the game's silence, with room for a full band before clipping.
constexpr double SynthGain = 0.5;

// PulseAudio (or PipeWire's stand-in for it) is what a desktop plays through;
// plain ALSA for the rest. JACK is left out: its client may start a server.
const QStringList UsualAudioDrivers{QStringLiteral("pulseaudio"), QStringLiteral("alsa")};

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// The terminal belongs to the game: a missing sound card is not worth a line.
void silenceLibraries() {
    if (qEnvironmentVariableIsSet("SPINMARSH_AUDIO_DEBUG"))
        return;
    for (int level = 0; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
    snd_lib_error_set_handler(ignoreAlsaError);
}

void ignoreGLibMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// FluidSynth hands a soundfont that its own loader refuses on to libinstpatch,
// which complains through GLib's log, straight onto stderr. GLib comes with
// FluidSynth; it is looked up, not linked, and quietened only while a
// soundfont loads.
class QuietGLibLog {
  public:
    QuietGLibLog() {
        if (qEnvironmentVariableIsSet("SPINMARSH_AUDIO_DEBUG"))
            return;
        m_setHandler = reinterpret_cast<decltype(&g_log_set_default_handler)>(
            dlsym(RTLD_DEFAULT, "g_log_set_default_handler"));
        if (m_setHandler)
            m_previous = m_setHandler(ignoreGLibMessage, nullptr);
    }
    ~QuietGLibLog() {
        if (m_setHandler)
            m_setHandler(m_previous, nullptr);
    }
    QuietGLibLog(const QuietGLibLog&) = delete;
    QuietGLibLog& operator=(const QuietGLibLog&) = delete;

  private:
    decltype(&g_log_set_default_handler) m_setHandler = nullptr;
    GLogFunc m_previous = nullptr;
};

quint32 bigEndian(const unsigned char* p, int bytes) {
    quint32 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | p[i];
    return value;
}

// Walks one track's events. FluidSynth would stop at the first damaged event,
// which ends the tune the moment it starts and brings on the next one at once;
// better to refuse such a file when it is opened.
bool isSoundTrack(const unsigned char* p, qsizetype size) {
    qsizetype at = 0;
    auto readLength = [&](qsizetype& length) {
        quint32 value = 0;
        for (int i = 0; i < 4 && at < size; ++i) {
            const unsigned char c = p[at++];
            value = value << 7 | (c & 0x7fu);
            if (!(c & 0x80u)) {
                length = static_cast<qsizetype>(value);
                return true;
            }
        }
        return false;
    };
    unsigned running = 0;
    while (at < size) {
        qsizetype skip = 0;
        if (!readLength(skip) || at >= size)
            return false;
        unsigned status = p[at];
        if (status & 0x80u)
            ++at;
        else if (running != 0)
            status = running; // running status: the byte is already data
        else
            return false;

        if (status == 0xffu) {
            if (at >= size)
                return false;
            const unsigned type = p[at++];
            if (!readLength(skip) || skip > size - at)
                return false;
            if (type == 0x2fu)
                return true; // end of track
        } else if (status == 0xf0u || status == 0xf7u) {
            if (!readLength(skip) || skip > size - at)
                return false;
        } else if (status >= 0xf0u) {
            return false; // system messages have no place in a file
        } else {
            running = status;
            skip = (status & 0xe0u) == 0xc0u ? 1 : 2; // program change and pressure: one byte
            if (skip > size - at)
                return false;
        }
        at += skip;
    }
    return false; // no end-of-track event
}

// Empty when FluidSynth can play the bytes as a standard MIDI file, else why not.
QString midiFault(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 14 || std::memcmp(p, "MThd", 4) != 0)
        return QStringLiteral("not a standard MIDI file");
    const auto headerLength = static_cast<qsizetype>(bigEndian(p + 4, 4));
    const quint32 format = bigEndian(p + 8, 2);
    const quint32 tracks = bigEndian(p + 10, 2);
    const quint32 division = bigEndian(p + 12, 2);
    if (headerLength < 6 || headerLength > size - 8 || format > 2 || tracks == 0)
        return QStringLiteral("damaged MIDI header");
    if (division == 0 || (division & 0x8000u))
        return QStringLiteral("time-code MIDI files are not supported");

    qsizetype at = 8 + headerLength;
    for (quint32 found = 0; found < tracks;) {
        if (size - at < 8)
            return QStringLiteral("the file ends before its last track");
        const auto length = static_cast<qsizetype>(bigEndian(p + at + 4, 4));
        if (length > size - at - 8)
            return QStringLiteral("the file ends inside a track");
        if (std::memcmp(p + at, "MTrk", 4) == 0) {
            if (!isSoundTrack(p + at + 8, length))
                return QStringLiteral("damaged track %1").arg(found + 1);
            ++found;
        }
        at += 8 + length;
    }
    return {};
}

} // namespace

// FluidSynth's side of the player. The mutex keeps the sound output from
// rendering while the user-interface thread swaps FluidSynth's player.
struct FluidSynthMusicPlayer::Engine {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    fluid_file_renderer_t* renderer = nullptr;
    Error failure = NoError; // why the engine cannot sound, if it cannot
    QString failureText;

    std::mutex mutex;
    fluid_player_t* player = nullptr; // guarded by mutex
    bool playing = false;             // user-interface thread: a tune runs and its end is not seen

    std::condition_variable wake; // the file renderer's thread waits for a tune
    bool quit = false;            // guarded by mutex
    std::thread renderThread;

    int ringOutTicks = 0; // guarded by mutex

    // Whether the tune still has music to give. FluidSynth's player would go
    // on until every voice has died away and then two seconds more (up to ten
    // seconds of silence after our tunes); the tune ends here one beat after
    // its last event instead, enough for the last notes to ring.
    bool tuneRuns() const {
        if (player == nullptr || fluid_player_get_status(player) != FLUID_PLAYER_PLAYING)
            return false;
        const int lastTick = fluid_player_get_total_ticks(player); // 0 until it has loaded
        return lastTick == 0 || fluid_player_get_current_tick(player) < lastTick + ringOutTicks;
    }

    // The sound device asks for audio. Reverb and chorus go into the dry mix,
    // since no driver but JACK hands out separate effect buffers.
    static int render(void* data, int length, int nfx, float* fx[], int nout, float* out[]) {
        auto* engine = static_cast<Engine*>(data);
        std::lock_guard lock(engine->mutex);
        if (nfx == 0 && nout >= 2) {
            float* mixed[4] = {out[0], out[1], out[0], out[1]};
            return fluid_synth_process(engine->synth, length, 4, mixed, nout, out);
        }
        return fluid_synth_process(engine->synth, length, nfx, fx, nout, out);
    }

    // The render file stands in for a sound device that never makes anyone
    // wait: blocks are written as fast as they can be made while a tune runs.
    void renderToFile() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return quit || tuneRuns(); });
            if (quit)
                return;
            for (int block = 0; block < 64 && tuneRuns(); ++block)
                fluid_file_renderer_process_block(renderer);
            // Let the user-interface thread stop or swap the tune in between.
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
    }

    ~Engine() {
        if (renderThread.joinable()) {
            {
                std::lock_guard lock(mutex);
                quit = true;
            }
            wake.notify_all();
            renderThread.join();
        }
        // The output goes first, so nothing renders while the rest is taken apart.
        if (driver)
            delete_fluid_audio_driver(driver);
        if (player)
            delete_fluid_player(player);
        if (renderer)
            delete_fluid_file_renderer(renderer); // finishes the WAV header
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }
};

FluidSynthMusicPlayer::FluidSynthMusicPlayer() : FluidSynthMusicPlayer(Options{}) {}

FluidSynthMusicPlayer::FluidSynthMusicPlayer(const Options& options)
    : m_options(options), m_engine(std::make_unique<Engine>()) {
    m_endWatch.setInterval(EndWatchIntervalMs);
    QObject::connect(&m_endWatch, &QTimer::timeout, [this] { checkForEnd(); });
    QElapsedTimer clock;
    clock.start();
    prepare();
    m_startupMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    m_error = m_engine->failure;
    m_errorString = m_engine->failureText;
}

FluidSynthMusicPlayer::~FluidSynthMusicPlayer() = default;

QStringList FluidSynthMusicPlayer::defaultSoundFonts() {
    QStringList fonts{QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2")};
    if (fluid_settings_t* settings = new_fluid_settings()) {
        char* synthDefault = nullptr;
        if (fluid_settings_getstr_default(settings, "synth.default-soundfont", &synthDefault) ==
                FLUID_OK &&
            synthDefault != nullptr && *synthDefault != '\0')
            fonts << QString::fromLocal8Bit(synthDefault);
        delete_fluid_settings(settings);
    }
    fonts << QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2")
          << QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2");
    fonts.removeDuplicates();
    return fonts;
}

void FluidSynthMusicPlayer::prepare() {
    Engine& engine = *m_engine;
    silenceLibraries();

    engine.settings = new_fluid_settings();
    if (engine.settings) {
        // Locking 30 MB of samples into memory needs privileges a game does not have.
        fluid_settings_setint(engine.settings, "synth.lock-memory", 0);
        fluid_settings_setnum(engine.settings, "synth.gain", SynthGain);
        for (auto setting = m_options.settings.cbegin(); setting != m_options.settings.cend();
             ++setting)
            fluid_settings_setstr(engine.settings, setting.key().toUtf8().constData(),
                                  setting.value().toUtf8().constData());
        engine.synth = new_fluid_synth(engine.settings);
    }
    if (!engine.synth) {
        engine.failure = NoSynthesizer;
        engine.failureText = QStringLiteral("FluidSynth could not make a synthesizer");
        return;
    }

    const QStringList fonts =
        m_options.soundFonts.isEmpty() ? defaultSoundFonts() : m_options.soundFonts;
    const QuietGLibLog quiet;
    for (const QString& font : fonts) {
        if (QFileInfo(font).isFile() &&
            fluid_synth_sfload(engine.synth, QFile::encodeName(font).constData(), 1) !=
                FLUID_FAILED) {
            m_soundFont = font;
            break;
        }
    }
    if (m_soundFont.isEmpty()) {
        engine.failure = NoSoundFont;
        engine.failureText = QStringLiteral("no soundfont among %1").arg(fonts.join(u", "));
        return;
    }

    if (!m_options.renderFile.isEmpty()) {
        const QByteArray name = QFile::encodeName(m_options.renderFile);
        fluid_settings_setstr(engine.settings, "audio.file.name", name.constData());
        fluid_settings_setstr(engine.settings, "audio.file.type", "wav");
        engine.renderer = new_fluid_file_renderer(engine.synth);
        if (!engine.renderer) {
            engine.failure = NoAudioDevice;
            engine.failureText = QStringLiteral("cannot write %1").arg(m_options.renderFile);
            return;
        }
        m_audioDriver = QStringLiteral("file");
        engine.renderThread = std::thread([&engine] { engine.renderToFile(); });
        return;
    }

    const QStringList drivers =
        m_options.audioDrivers.isEmpty() ? UsualAudioDrivers : m_options.audioDrivers;
    for (const QString& driver : drivers) {
        fluid_settings_setstr(engine.settings, "audio.driver", driver.toLatin1().constData());
        engine.driver = new_fluid_audio_driver2(engine.settings, &Engine::render, &engine);
        if (engine.driver) {
            m_audioDriver = driver;
            return;
        }
    }
    engine.failure = NoAudioDevice;
    engine.failureText = QStringLiteral("no sound output through %1").arg(drivers.join(u", "));
}

bool FluidSynthMusicPlayer::isReady() const {
    return m_engine->failure == NoError;
}

bool FluidSynthMusicPlayer::isPlaying() const {
    return m_engine->playing;
}

void FluidSynthMusicPlayer::setError(Error error, const QString& detail) {
    m_error = error;
    m_errorString = detail;
}

void FluidSynthMusicPlayer::setFileName(const QString& path) {
    m_fileName = path;
    setError(NoError);
}

void FluidSynthMusicPlayer::open() {
    close();
    const QFileInfo info(m_fileName);
    const QString suffix = info.suffix().toLower();
    if (suffix != u"mid" && suffix != u"midi")
        return setError(UnsupportedType,
                        QStringLiteral("%1: not a MIDI file name").arg(m_fileName));
    if (!info.exists())
        return setError(NoSuchFile, QStringLiteral("%1: no such file").arg(m_fileName));
    QFile file(m_fileName);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return setError(UnreadableFile, QStringLiteral("%1: cannot be read").arg(m_fileName));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return setError(UnreadableFile, QStringLiteral("%1: cannot be read").arg(m_fileName));
    if (const QString fault = midiFault(bytes); !fault.isEmpty())
        return setError(BadMidiFile, QStringLiteral("%1: %2").arg(m_fileName, fault));
    if (!isReady())
        return setError(m_engine->failure, m_engine->failureText);
    m_tune = std::move(bytes);
    m_open = true;
}

void FluidSynthMusicPlayer::play() {
    if (!m_open)
        return setError(NotOpen, QStringLiteral("no tune is open"));
    discardTune(); // play always starts from the beginning
    Engine& engine = *m_engine;
    {
        std::lock_guard lock(engine.mutex);
        // Only ever started with a sound output in place: without one,
        // FluidSynth's player would claim to be playing forever.
        engine.ringOutTicks = static_cast<int>(bigEndian(
            reinterpret_cast<const unsigned char*>(m_tune.constData()) + 12, 2)); // one beat
        engine.player = new_fluid_player(engine.synth);
        if (!engine.player ||
            fluid_player_add_mem(engine.player, m_tune.constData(),
                                 static_cast<size_t>(m_tune.size())) != FLUID_OK ||
            fluid_player_play(engine.player) != FLUID_OK) {
            if (engine.player)
                delete_fluid_player(engine.player);
            engine.player = nullptr;
            return setError(PlayerFailed,
                            QStringLiteral("%1: FluidSynth refused it").arg(m_fileName));
        }
    }
    engine.wake.notify_all();
    engine.playing = true;
    m_endWatch.start();
    setError(NoError);
}

void FluidSynthMusicPlayer::stop() {
    discardTune();
    setError(NoError);
}

void FluidSynthMusicPlayer::close() {
    discardTune();
    m_tune.clear();
    m_open = false;
    setError(NoError);
}

void FluidSynthMusicPlayer::discardTune() {
    m_endWatch.stop();
    Engine& engine = *m_engine;
    engine.playing = false;
    std::lock_guard lock(engine.mutex);
    if (!engine.player)
        return;
    fluid_player_stop(engine.player);
    delete_fluid_player(engine.player);
    engine.player = nullptr;
    // The tune's notes fade out as they would at a note-off; none hangs on,
    // not even one held by a pedal.
    for (int channel = 0; channel < fluid_synth_count_midi_channels(engine.synth); ++channel) {
        fluid_synth_cc(engine.synth, channel, SustainPedal, 0);
        fluid_synth_cc(engine.synth, channel, SostenutoPedal, 0);
    }
    fluid_synth_all_notes_off(engine.synth, -1);
}

void FluidSynthMusicPlayer::checkForEnd() {
    Engine& engine = *m_engine;
    {
        std::lock_guard lock(engine.mutex);
        if (engine.tuneRuns())
            return;
    }
    discardTune(); // the tune stays open: play() starts it again
    // The listener starts the next tune from in here; it gets a copy of
    // itself to run, so it may even replace tuneEnded.
    if (auto notify = tuneEnded)
        notify();
}
