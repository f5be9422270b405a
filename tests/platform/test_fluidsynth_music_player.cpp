#include "platform/fluidsynth_music_player.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <memory>
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

} // namespace

class TestFluidSynthMusicPlayer : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_dir;
    QString m_short; // 6 s
    QString m_long;  // 30 s
    QString m_wav;   // where the current test renders to
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

    // A player that renders into this test's WAV file.
    std::unique_ptr<Player> renderingPlayer(const QStringList& soundFonts = {}) {
        Player::Options options;
        options.soundFonts = soundFonts;
        options.renderFile = m_wav;
        return listened(options);
    }
    // A player on a real sound driver: ALSA's null device swallows the sound
    // as fast as it comes, a missing card fails the way a machine without
    // sound does.
    std::unique_ptr<Player> alsaPlayer(const QString& device) {
        Player::Options options;
        options.audioDrivers = QStringList{QStringLiteral("alsa")};
        options.settings.insert(QStringLiteral("audio.alsa.device"), device);
        return listened(options);
    }
    std::unique_ptr<Player> listened(const Player::Options& options) {
        auto player = std::make_unique<Player>(options);
        player->tuneEnded = [this] { ++m_ended; };
        return player;
    }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

  private Q_SLOTS:
    void initTestCase() {
        qunsetenv("SPINMARSH_AUDIO_DEBUG");
        QVERIFY(m_dir.isValid());
        m_short = makeTune(QStringLiteral("short"), 6);
        m_long = makeTune(QStringLiteral("long"), 30);
        QVERIFY(QFile::exists(m_short) && QFile::exists(m_long));
    }

    void init() {
        m_ended = 0;
        m_wav = path(QStringLiteral("%1.wav").arg(QTest::currentTestFunction()));
    }

    void rendersWholeTuneThenNotifiesOnce_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        QTest::newRow("short") << m_short << 6.0 << 7.0; // one beat rings on
        QTest::newRow("0.mid") << QStringLiteral(SPINMARSH_BIN_DIR "/0.mid") << 45.0 << 120.0;
        QTest::newRow("1.mid") << QStringLiteral(SPINMARSH_BIN_DIR "/1.mid") << 45.0 << 120.0;
    }
    void rendersWholeTuneThenNotifiesOnce() {
        QFETCH(QString, file);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        {
            auto player = renderingPlayer();
            QVERIFY2(player->isReady(), qPrintable(player->errorString()));
            qInfo("start-up %.1f ms with %s", player->startupMilliseconds(),
                  qPrintable(player->soundFont()));
            player->setFileName(file);
            player->open();
            QVERIFY(player->isOpen());
            player->play();
            QCOMPARE(player->lastError(), Player::NoError);
            QTRY_COMPARE_WITH_TIMEOUT(m_ended, 1, 60000);
            QTest::qWait(200);
            QCOMPARE(m_ended, 1);
            QVERIFY(!player->isPlaying());
        }
        const Wav wav = readWav(m_wav);
        QVERIFY2(wav.seconds >= shortest && wav.seconds <= longest,
                 qPrintable(QString::number(wav.seconds)));
        QVERIFY2(wav.rms > 1e-3, qPrintable(QString::number(wav.rms))); // silence is about 3e-5
    }

    // The game answers the end of a tune by stopping, closing and starting the
    // next one from inside the notification.
    void notificationMayStartTheNextTune() {
        {
            auto player = renderingPlayer();
            player->tuneEnded = [&] {
                if (++m_ended == 3)
                    return;
                player->stop();
                player->close();
                player->setFileName(m_short);
                player->open();
                player->play();
            };
            player->setFileName(m_short);
            player->open();
            player->play();
            QTRY_COMPARE_WITH_TIMEOUT(m_ended, 3, 30000);
        }
        const double seconds = readWav(m_wav).seconds; // three times 6 s, each from its start
        QVERIFY2(seconds >= 18.0 && seconds <= 21.0, qPrintable(QString::number(seconds)));
    }

    void playsThroughSoundDriver() {
        auto player = alsaPlayer(QStringLiteral("null"));
        QVERIFY2(player->isReady(), qPrintable(player->errorString()));
        QCOMPARE(player->audioDriver(), QStringLiteral("alsa"));
        player->setFileName(m_short);
        player->open();
        player->play();
        QVERIFY(player->isPlaying());
        QTRY_COMPARE_WITH_TIMEOUT(m_ended, 1, 30000);
        player->play();
        player->stop();
        QTest::qWait(300);
        QCOMPARE(m_ended, 1);
    }

    void stopAndCloseCutTheTuneShortWithoutNotice_data() {
        QTest::addColumn<bool>("closing");
        QTest::newRow("stop") << false;
        QTest::newRow("close") << true;
    }
    void stopAndCloseCutTheTuneShortWithoutNotice() {
        QFETCH(bool, closing);
        {
            auto player = renderingPlayer();
            player->setFileName(m_long);
            player->open();
            player->play();
            closing ? player->close() : player->stop();
            QCOMPARE(player->lastError(), Player::NoError);
            QCOMPARE(player->isOpen(), !closing);
            QVERIFY(!player->isPlaying());
            QTest::qWait(300);
            QCOMPARE(m_ended, 0);
        }
        QVERIFY(readWav(m_wav).seconds < 5.0);
    }

    void failsSilently_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("soundFonts");
        QTest::addColumn<QString>("alsaDevice"); // empty: render; "usual": the usual outputs
        QTest::addColumn<int>("error");

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
        writeFile(QStringLiteral("tune.wav"), whole);
        QDir(m_dir.path()).mkdir(QStringLiteral("folder.mid"));

        const QStringList usual;
        QTest::newRow("no such file")
            << path("none.mid") << usual << QString() << int(Player::NoSuchFile);
        QTest::newRow("random bytes")
            << path("noise.mid") << usual << QString() << int(Player::BadMidiFile);
        QTest::newRow("empty file")
            << path("empty.mid") << usual << QString() << int(Player::BadMidiFile);
        QTest::newRow("truncated")
            << path("truncated.mid") << usual << QString() << int(Player::BadMidiFile);
        QTest::newRow("not .mid") << path("tune.wav") << usual << QString()
                                  << int(Player::UnsupportedType);
        QTest::newRow("folder") << path("folder.mid") << usual << QString()
                                << int(Player::UnreadableFile);
        QTest::newRow("no soundfont")
            << m_short << QStringList{path("none.sf2")} << QString() << int(Player::NoSoundFont);
        QTest::newRow("broken soundfont")
            << m_short << QStringList{path("noise.sf2")} << QString() << int(Player::NoSoundFont);
        QTest::newRow("no sound card")
            << m_short << usual << QStringLiteral("hw:99") << int(Player::NoAudioDevice);
        QTest::newRow("usual outputs")
            << m_short << usual << QStringLiteral("usual") << int(Player::NoAudioDevice);
    }
    void failsSilently() {
        QFETCH(QString, file);
        QFETCH(QStringList, soundFonts);
        QFETCH(QString, alsaDevice);
        QFETCH(int, error);

        StderrCapture stderrOutput;
        auto player = alsaDevice.isEmpty()     ? renderingPlayer(soundFonts)
                      : alsaDevice == u"usual" ? listened({})
                                               : alsaPlayer(alsaDevice);
        if (player->isReady() && alsaDevice == u"usual")
            QSKIP("this machine has a sound device");
        player->setFileName(file);
        player->open();
        QCOMPARE(player->lastError(), error);
        QVERIFY(!player->errorString().isEmpty());
        QVERIFY(!player->isOpen());
        player->play();
        QCOMPARE(player->lastError(), Player::NotOpen);
        QVERIFY(!player->isPlaying());
        player->stop(); // on a closed player: nothing to do, nothing to report
        player->close();
        QCOMPARE(player->lastError(), Player::NoError);
        QTest::qWait(200);
        QCOMPARE(m_ended, 0);
        player.reset();
        QCOMPARE(stderrOutput.finish(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestFluidSynthMusicPlayer)
#include "test_fluidsynth_music_player.moc"
