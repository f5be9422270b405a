// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/audio/fluidsynth_music_player.h"
#include "tests/support/pulse_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using Player = FluidSynthMusicPlayer;

namespace {

// Everything written to the process's stderr (fd 2) while it lives.
class StderrCapture {
  public:
    StderrCapture() {
        m_file.open();
        std::fflush(stderr);
        m_saved = dup(2);
        dup2(m_file.handle(), 2);
    }
    ~StderrCapture() { finish(); }
    QByteArray finish() {
        if (m_saved >= 0) {
            std::fflush(stderr);
            dup2(m_saved, 2);
            ::close(m_saved);
            m_saved = -1;
        }
        m_file.seek(0);
        return m_file.readAll();
    }

  private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

struct Wav {
    double seconds = 0.0;
    double rms = 0.0; // of all samples, full scale 1.0
};

// Reads the 16-bit PCM WAV that the file renderer writes.
Wav readWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    int channels = 0, rate = 0;
    for (qsizetype at = 12; at + 8 <= bytes.size(); at += 8 + u32(at + 4)) {
        if (bytes.mid(at, 4) == "fmt ") {
            channels = qFromLittleEndian<quint16>(bytes.constData() + at + 10);
            rate = static_cast<int>(u32(at + 12));
        } else if (bytes.mid(at, 4) == "data" && channels > 0 && rate > 0) {
            const auto* samples = reinterpret_cast<const qint16*>(bytes.constData() + at + 8);
            const qsizetype count = std::min<qsizetype>(u32(at + 4), bytes.size() - at - 8) / 2;
            double sum = 0.0;
            for (qsizetype i = 0; i < count; ++i)
                sum += double(samples[i]) * samples[i];
            const double rms = count ? std::sqrt(sum / double(count)) / 32768.0 : 0.0;
            return {double(count) / channels / rate, rms};
        }
    }
    return {};
}

// The left channel of what a sink played, from its first sound on.
QList<qint16> fromFirstSound(const QByteArray& stereo) {
    QList<qint16> left;
    for (qsizetype at = 0; at + 4 <= stereo.size(); at += 4) {
        const auto sample = qFromLittleEndian<qint16>(stereo.constData() + at);
        if (sample != 0 || !left.isEmpty())
            left << sample;
    }
    return left;
}

// Where the `length` samples of `part` from `from` on lie in `whole`, looked
// for from `first` to `last`; -1 when they lie nowhere in that range.
qsizetype whereIn(const QList<qint16>& whole, const QList<qint16>& part, qsizetype from,
                  qsizetype length, qsizetype first, qsizetype last) {
    for (qsizetype at = std::max<qsizetype>(first, 0); at <= last && at + length <= whole.size();
         ++at) {
        qsizetype i = 0;
        // The sink rounds a float sample to 16 bits: a step apart is the same.
        while (i < length && std::abs(whole[at + i] - part[from + i]) <= 1)
            ++i;
        if (i == length)
            return at;
    }
    return -1;
}

} // namespace

class TestFluidSynthMusicPlayer : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_dir;
    QString m_short; // 2 s
    QString m_long;  // 30 s
    QString m_wav;   // where the current test's sound output writes
    int m_ended = 0;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A one-voice tune at 120 beats a minute, one beat a note: `seconds` long.
    QString makeTune(const QString& name, int seconds) {
        QByteArray notes;
        for (int beat = 0; beat < 2 * seconds; ++beat) {
            notes += "CDEFGABc"[beat % 8];
            notes += beat % 4 == 3 ? " |" : " ";
        }
        notes += "]\n";
        QFile abc(path(name + ".abc"));
        abc.open(QIODevice::WriteOnly);
        abc.write("X:1\nM:4/4\nL:1/4\nQ:1/4=120\nK:C\n%%MIDI program 80\n" + notes);
        abc.close();
        QProcess::execute(
            QStringLiteral("abc2midi"),
            {abc.fileName(), QStringLiteral("-o"), path(name + ".mid"), QStringLiteral("-silent")});
        return path(name + ".mid");
    }

    // A player whose sound output is FluidSynth's file driver: it writes this
    // test's WAV file in real time, from the moment an output opens.
    std::unique_ptr<Player> player(const QStringList& soundFonts = {},
                                   const QMap<QString, QString>& output = {},
                                   const QString& keptTunes = {}) {
        Player::Options options;
        options.soundFonts = soundFonts;
        options.keptTunes = keptTunes;
        options.settings =
            output.isEmpty()
                ? QMap<QString, QString>{{QStringLiteral("audio.driver"), QStringLiteral("file")},
                                         {QStringLiteral("audio.file.name"), m_wav},
                                         {QStringLiteral("audio.file.type"), QStringLiteral("wav")}}
                : output;
        auto made = std::make_unique<Player>(options);
        made->tuneEnded = [this] { ++m_ended; };
        return made;
    }

    void start(Player& player, const QString& file) {
        player.setFileName(file);
        player.open();
        player.play();
    }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_short = makeTune(QStringLiteral("short"), 2);
        m_long = makeTune(QStringLiteral("long"), 30);
        QVERIFY(QFile::exists(m_short) && QFile::exists(m_long));

        QByteArray noise(4096, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        writeFile(QStringLiteral("noise.mid"), noise);
        writeFile(QStringLiteral("noise.sf2"), noise);
        writeFile(QStringLiteral("empty.mid"), {});
        QFile tune(m_long);
        QVERIFY(tune.open(QIODevice::ReadOnly));
        const QByteArray whole = tune.readAll();
        writeFile(QStringLiteral("truncated.mid"), whole.left(whole.size() / 2));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.mid")));
        QCOMPARE(mkfifo(qPrintable(path(QStringLiteral("pipe.mid"))), 0644), 0);
        writeFile(QStringLiteral("locked.mid"), whole);
        QVERIFY(QFile::setPermissions(path(QStringLiteral("locked.mid")), {}));
        // Sparse: they take no room on the disk, and must not be read.
        for (const auto& [name, size] :
             {std::pair{"huge.mid", qint64(5) << 30}, std::pair{"big.mid", qint64(4 << 20) + 1}}) {
            QFile file(path(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
        }
    }

    void init() {
        m_ended = 0;
        m_wav = path(QStringLiteral("%1.wav").arg(QTest::currentTestFunction()));
        QFile::remove(m_wav);
    }

    void readsOnlyWhatCanBeATune_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("read");
        QTest::newRow("tune") << m_long << true;
        QTest::newRow("no such file") << path("none.mid") << false;
        QTest::newRow("empty") << path("empty.mid") << false;
        QTest::newRow("folder") << path("folder.mid") << false;
        QTest::newRow("pipe with no writer") << path("pipe.mid") << false;
        QTest::newRow("endless device") << QStringLiteral("/dev/zero") << false;
        QTest::newRow("5 GB") << path("huge.mid") << false;
        QTest::newRow("one byte over 4 MB") << path("big.mid") << false;
        QTest::newRow("unreadable") << path("locked.mid") << false;
    }
    void readsOnlyWhatCanBeATune() {
        QFETCH(QString, file);
        QFETCH(bool, read);
        // Root reads whatever it likes; as nobody, the file is unreadable.
        const bool asNobody = geteuid() == 0 && file.endsWith(u"locked.mid");
        if (asNobody) {
            QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner | QFileDevice::ExeOther);
            QCOMPARE(seteuid(65534), 0);
        }
        const QByteArray bytes = readTuneFile(file);
        if (asNobody)
            QCOMPARE(seteuid(0), 0);
        QFile expected(file);
        QCOMPARE(bytes,
                 read && expected.open(QIODevice::ReadOnly) ? expected.readAll() : QByteArray());
    }

    void playsTheTuneThenNotifiesOnce() {
        {
            auto music = player();
            start(*music, m_short);
            QTRY_COMPARE_WITH_TIMEOUT(m_ended, 1, 30000);
            QTest::qWait(300);
            QCOMPARE(m_ended, 1);
        }
        // The tune, one beat to ring on, the half second a sound server holds
        // ahead, and whatever the end took to come round; FluidSynth's own end
        // comes two seconds after the last voice.
        const Wav wav = readWav(m_wav);
        QVERIFY2(wav.seconds >= 2.9 && wav.seconds < 4.4, qPrintable(QString::number(wav.seconds)));
        QVERIFY2(wav.rms > 1e-3, qPrintable(QString::number(wav.rms))); // silence is about 3e-5
    }

    // The game answers the end of a tune by stopping, closing and starting the
    // next one from inside the notification.
    void notificationMayStartTheNextTune() {
        QElapsedTimer clock;
        clock.start();
        {
            auto music = player();
            music->tuneEnded = [&] {
                if (++m_ended == 3)
                    return;
                music->stop();
                music->close();
                start(*music, m_short);
            };
            start(*music, m_short);
            QTRY_COMPARE_WITH_TIMEOUT(m_ended, 3, 30000);
            QVERIFY(clock.elapsed() >= 3 * 2000); // each from its start
        }
        // The last tune's output is written out whole once the player is gone.
        QVERIFY(readWav(m_wav).rms > 1e-3);
    }

    // Stopped or closed, the output is gone at once and no end is told; a
    // stopped tune plays again from the start, a closed one does not.
    void stopAndCloseCutTheTuneShortWithoutNotice_data() {
        QTest::addColumn<bool>("closing");
        QTest::newRow("stop") << false;
        QTest::newRow("close") << true;
    }
    void stopAndCloseCutTheTuneShortWithoutNotice() {
        QFETCH(bool, closing);
        auto music = player();
        start(*music, m_long);
        QTRY_VERIFY(QFileInfo(m_wav).size() > 44100);
        closing ? music->close() : music->stop();
        QTest::qWait(300);
        const qint64 size = QFileInfo(m_wav).size();
        QTest::qWait(300);
        QCOMPARE(QFileInfo(m_wav).size(), size);
        QVERIFY(readWav(m_wav).seconds < 5.0);
        QCOMPARE(m_ended, 0);

        QVERIFY(QFile::remove(m_wav));
        music->play();
        QTest::qWait(300);
        QCOMPARE(QFile::exists(m_wav), !closing);
        music.reset();
        QCOMPARE(m_ended, 0);
    }

    // Paused, the output closes and the tune stands still: nothing is written
    // and no end comes, however long it waits. Resumed, a new output plays
    // the rest of the tune, not the tune again, and its end is told once.
    void pauseClosesTheOutputAndResumeGoesOn() {
        auto music = player();
        start(*music, m_short);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(m_wav).size() > 44 + 4 * 44100 * 3 / 2, 10000);
        music->pause();
        QTest::qWait(300);
        const qint64 size = QFileInfo(m_wav).size();
        QTest::qWait(1500); // longer than the rest of the tune
        QCOMPARE(QFileInfo(m_wav).size(), size);
        QCOMPARE(m_ended, 0);
        const Wav before = readWav(m_wav);
        QVERIFY(QFile::remove(m_wav));

        music->resume();
        QTRY_COMPARE_WITH_TIMEOUT(m_ended, 1, 30000);
        music.reset();
        const Wav after = readWav(m_wav);
        QVERIFY2(after.rms > 1e-3, qPrintable(QString::number(after.rms)));
        const QString lengths =
            QStringLiteral("%1 s + %2 s").arg(before.seconds).arg(after.seconds);
        QVERIFY2(after.seconds < 2.4, qPrintable(lengths));
        QVERIFY2(before.seconds + after.seconds >= 2.4 && before.seconds + after.seconds < 3.9,
                 qPrintable(lengths));
        QCOMPARE(m_ended, 1);
    }

    // Through a sound server, which holds up to a second ahead of what is
    // heard: the pause drops what it holds, and the tune goes on from the
    // sample last heard, neither skipping what the server dropped nor
    // playing again much of what was heard; synthesized, or played from its
    // kept rendering.
    void resumeGoesOnFromTheSampleHeard_data() {
        QTest::addColumn<bool>("keeping");
        QTest::newRow("synthesized") << false;
        QTest::newRow("kept") << true;
    }
    void resumeGoesOnFromTheSampleHeard() {
        QFETCH(bool, keeping);
        QTemporaryDir folder;
        PulseServer pulse(folder.path());
        QVERIFY2(pulse.start(), "the sound server did not start");
        const QMap<QString, QString> server{
            {QStringLiteral("audio.driver"), QStringLiteral("pulseaudio")},
            {QStringLiteral("audio.pulseaudio.server"), pulse.address()}};
        const QString kept = keeping ? folder.filePath(QStringLiteral("kept")) : QString();
        if (keeping) {
            auto music = player({}, server, kept);
            start(*music, m_long);
            music->stop();
            QTRY_COMPARE(QDir(kept).entryList({QStringLiteral("*.tune")}, QDir::Files).size(), 1);
        }
        const auto heard = [&](bool pausing) {
            auto music = player({}, server, kept);
            pulse.listen();
            start(*music, m_long);
            QTest::qWait(1500);
            if (pausing) {
                music->pause();
                QTest::qWait(500);
                music->resume();
            }
            QTest::qWait(1500);
            music.reset();
            QTest::qWait(300);
            return fromFirstSound(pulse.heard());
        };
        // The recorder drops some of what it hears in its first seconds.
        QTest::qWait(2500);
        const QList<qint16> whole = heard(false);
        const QList<qint16> paused = heard(true);

        // The pause is the first tenth of a second of silence in the tune.
        constexpr qsizetype kRate = 44100;
        qsizetype pausedAt = 0;
        qsizetype silent = 0;
        for (; pausedAt < paused.size() && silent < kRate / 10; ++pausedAt)
            silent = paused[pausedAt] == 0 ? silent + 1 : 0;
        pausedAt -= silent;
        qsizetype resumedAt = pausedAt + silent;
        while (resumedAt < paused.size() && paused[resumedAt] == 0)
            ++resumedAt;
        QVERIFY2(pausedAt > kRate / 2 && resumedAt + kRate / 2 < paused.size(),
                 qPrintable(QStringLiteral("paused at %1, resumed at %2 of %3 samples")
                                .arg(pausedAt)
                                .arg(resumedAt)
                                .arg(paused.size())));
        // A tenth of a second identifies a place in the tune; the last half
        // second before the pause, well clear of the start, where the
        // recorder may have lost a little, is the same in both.
        const qsizetype before = pausedAt - kRate / 2;
        const qsizetype beforeAt = whereIn(whole, paused, before, kRate / 10, 0, whole.size());
        QVERIFY(beforeAt >= 0);
        QCOMPARE(whereIn(whole, paused, before, kRate / 2, beforeAt, beforeAt), beforeAt);
        const qsizetype lastHeard = beforeAt + kRate / 2;
        const qsizetype goesOnAt =
            whereIn(whole, paused, resumedAt, kRate / 10, lastHeard - kRate, lastHeard + kRate);
        QVERIFY(goesOnAt >= 0);
        const qsizetype jump = goesOnAt - lastHeard; // ahead: skipped; back: heard again
        qInfo("the tune went on %lld samples from the last one heard", qlonglong(jump));
        QVERIFY2(std::abs(jump) <= kRate / 50, qPrintable(QString::number(jump)));
    }

    // Played once, a tune is kept as its rendering and played from it from
    // then on, sounding as the synthesizer did. What plays is the file, as
    // far as it holds sound; one cut short is rendered anew.
    void keptTunePlaysAsSynthesized() {
        QTemporaryDir folder;
        PulseServer pulse(folder.path());
        QVERIFY2(pulse.start(), "the sound server did not start");
        const QString kept = folder.filePath(QStringLiteral("kept"));
        const QMap<QString, QString> server{
            {QStringLiteral("audio.driver"), QStringLiteral("pulseaudio")},
            {QStringLiteral("audio.pulseaudio.server"), pulse.address()}};
        const auto heard = [&](int ms) {
            auto music = player({}, server, kept);
            pulse.listen();
            start(*music, m_long);
            QTest::qWait(ms);
            music->stop(); // and the rest of a tune being kept is rendered
            if (!QTest::qWaitFor(
                    [&] { return QDir(kept).entryList({QStringLiteral("*.tune.*")}).isEmpty(); })) {
                return QList<qint16>(); // heard as nothing
            }
            music.reset();
            QTest::qWait(300);
            return fromFirstSound(pulse.heard());
        };
        constexpr qsizetype kRate = 44100;
        // The same half second, clear of the start, where the recorder may
        // have lost a little.
        const auto same = [&](const QList<qint16>& one, const QList<qint16>& other) {
            if (other.size() < kRate) {
                return false;
            }
            const qsizetype at = whereIn(one, other, kRate / 2, kRate / 2, 0, one.size());
            return at >= 0 && std::abs(at - kRate / 2) < kRate / 10;
        };
        QTest::qWait(2500); // the recorder drops some of what it hears in its first seconds
        const QList<qint16> synthesized = heard(1500);
        const QStringList files = QDir(kept).entryList(QDir::Files);
        QCOMPARE(files, QStringList{files.value(0).section(QChar('.'), 0, 0) + ".tune"});
        QFile file(kept + QChar('/') + files[0]);
        const qint64 whole = file.size();
        QVERIFY2(whole > 8 * kRate * 30, qPrintable(QString::number(whole))); // 30 s and the end
        QVERIFY(same(synthesized, heard(1500)));

        // Half a second of a steady tone, then what no synthesizer makes for
        // as long as the sound server holds, and the end is told.
        const qint64 frames = 2 * kRate;
        QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(16 + 8 * frames));
        std::vector<float> samples(2 * frames, std::nanf(""));
        std::fill_n(samples.begin(), kRate, 0.25F);
        QVERIFY(file.seek(8) && file.write(reinterpret_cast<const char*>(&frames), 8) == 8 &&
                file.write(reinterpret_cast<const char*>(samples.data()), 8 * frames) ==
                    8 * frames);
        file.close();
        const QList<qint16> tone = heard(3500);
        QCOMPARE(m_ended, 1);
        const auto steady = std::find_if(tone.cbegin(), tone.cend(),
                                         [](qint16 sample) { return std::abs(sample - 8192) > 1; });
        QVERIFY2(steady - tone.cbegin() > kRate / 2 * 9 / 10 && steady - tone.cbegin() <= kRate / 2,
                 qPrintable(QString::number(steady - tone.cbegin())));
        QVERIFY(std::all_of(steady, tone.cend(), [](qint16 sample) { return sample == 0; }));

        // Cut short; then whole, but shorter than any tune's end.
        QVERIFY(file.resize(8 * kRate / 2));
        QVERIFY(same(synthesized, heard(1500)));
        QCOMPARE(file.size(), whole);
        const qint64 few = 100;
        QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(16 + 8 * few) && file.seek(8) &&
                file.write(reinterpret_cast<const char*>(&few), 8) == 8);
        file.close();
        QVERIFY(same(synthesized, heard(1500)));
        QCOMPARE(file.size(), whole);
        QCOMPARE(m_ended, 1);
    }

    // Nothing comes of a tune that cannot be played: no output is opened, no
    // end is told (which would start the next tune at once), nothing is said.
    void failsSilently_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("soundFonts");
        QTest::addColumn<QString>("driver"); // empty: the file driver
        QTest::addColumn<QString>("device");

        const QStringList usual;
        const QString none;
        QTest::newRow("no such file") << path("none.mid") << usual << none << none;
        QTest::newRow("random bytes") << path("noise.mid") << usual << none << none;
        QTest::newRow("empty file") << path("empty.mid") << usual << none << none;
        QTest::newRow("truncated") << path("truncated.mid") << usual << none << none;
        QTest::newRow("folder") << path("folder.mid") << usual << none << none;
        QTest::newRow("pipe") << path("pipe.mid") << usual << none << none;
        QTest::newRow("no soundfont") << m_short << QStringList{path("none.sf2")} << none << none;
        QTest::newRow("broken soundfont")
            << m_short << QStringList{path("noise.sf2")} << none << none;
        QTest::newRow("no sound card")
            << m_short << usual << QStringLiteral("alsa") << QStringLiteral("hw:99");
        QTest::newRow("no sound server") << m_short << usual << QStringLiteral("pulseaudio")
                                         << QStringLiteral("unix:/nonexistent");
    }
    void failsSilently() {
        QFETCH(QString, file);
        QFETCH(QStringList, soundFonts);
        QFETCH(QString, driver);
        QFETCH(QString, device);

        StderrCapture stderrOutput;
        const QMap<QString, QString> output =
            driver.isEmpty() ? QMap<QString, QString>{}
                             : QMap<QString, QString>{
                                   {QStringLiteral("audio.driver"), driver},
                                   {driver == u"alsa" ? QStringLiteral("audio.alsa.device")
                                                      : QStringLiteral("audio.pulseaudio.server"),
                                    device}};
        auto music = player(soundFonts, output);
        start(*music, file);
        music->stop();
        music->play();
        music->pause();
        music->resume();
        QTest::qWait(500);
        QCOMPARE(m_ended, 0);
        QVERIFY(!QFile::exists(m_wav));
        music->stop(); // twice, and on a closed player: nothing to do, nothing to report
        music->close();
        music->close();
        music.reset();
        QCOMPARE(m_ended, 0);
        QCOMPARE(stderrOutput.finish(), QByteArray());
    }

    // What the libraries say goes to the spinmarsh.audio category, and only
    // when a rule switches it on.
    void librariesSpeakThroughTheCategory_data() {
        QTest::addColumn<QStringList>("soundFonts");
        QTest::addColumn<QString>("device"); // empty: the file driver
        QTest::addColumn<QString>("speaker");

        QTest::newRow("broken soundfont")
            << QStringList{path("noise.sf2")} << QString() << QStringLiteral("FluidSynth: ");
        QTest::newRow("no sound card")
            << QStringList() << QStringLiteral("hw:99") << QStringLiteral("ALSA: ");
    }
    void librariesSpeakThroughTheCategory() {
        QFETCH(QStringList, soundFonts);
        QFETCH(QString, device);
        QFETCH(QString, speaker);

        static QStringList heard;
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& context, const QString& text) {
                if (QLatin1StringView(context.category) == "spinmarsh.audio")
                    heard << text;
            });
        const QMap<QString, QString> output =
            device.isEmpty()
                ? QMap<QString, QString>{}
                : QMap<QString, QString>{{QStringLiteral("audio.driver"), QStringLiteral("alsa")},
                                         {QStringLiteral("audio.alsa.device"), device}};
        auto said = [&](bool on) {
            heard.clear();
            QLoggingCategory::setFilterRules(on ? QStringLiteral("spinmarsh.audio=true")
                                                : QString());
            auto music = player(soundFonts, output);
            start(*music, m_short);
            QTest::qWait(300);
            music.reset();
            return heard;
        };
        const QStringList off = said(false);
        const QStringList on = said(true);
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous);
        QCOMPARE(off, QStringList());
        QVERIFY2(!on.filter(speaker).isEmpty(), qPrintable(on.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestFluidSynthMusicPlayer)
#include "test_fluidsynth_music_player.moc"
