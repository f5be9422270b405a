// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/replays.h"
#include "platform/audio/fluidsynth_music_player.h"
#include "platform/storage/preferences.h"
#include "platform/storage/qsettings_store.h"
#include "screens/high_score_record.h"
#include "tests/support/file_kinds.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <iterator>
#include <unistd.h>

// Every reader of the game's files against every kind of thing that can lie
// in a file's place, on the real file system: each reads only what can be
// its file, takes anything else as absent or refuses it by name, and none
// waits on a pipe, reads a device or reads a huge file whole.

namespace {

const QString kGolden = QStringLiteral(SPINMARSH_SOURCE_DIR "/tests/data/replay/golden.replay");
const QByteArray kRecord = "[%U30C7%U30FC%U30BF]\n%U30CF%U30A4%U30B9%U30B3%U30A2=15050\n";
// Starting a program on a loaded machine takes a while; waiting on a pipe or
// reading gigabytes takes longer.
constexpr qint64 kPatienceMs = 5000;

struct Reader {
    const char* name;
    const char* place; // below the row's folder
    QByteArray normal; // a file it reads; empty: a recording
    const char* read;  // what it makes of that file
    const char* none;  // and of anything else
};

const Reader kReaders[] = {
    {"record", "config/Rollvane.ini", kRecord + "%U540D%U524D=Kit\n", "15050|Kit", "0|Tovik"},
    {"preferences", "config/spinmarsh.ini", "[General]\nmusic=false\n", "off", "on"},
    {"tune", "0.mid", "MThd", "MThd", ""},
    {"recording", "game.replay", {}, "read", "refused"},
    {"record's game", "data/spinmarsh/replays/record.replay", {}, "read", "refused"},
    // The oldest name, the first to go: only a recording counts and goes.
    {"pruning", "data/spinmarsh/replays/19990101-000000-1.replay", {}, "50 left", "51 left"},
    {"spinmarsh FILE", "game.replay", {}, "read", "refused"},
    {"spinmarsh --replay", "game.replay", {}, "read", "refused"},
    {"spinmarsh --watch-record", "data/spinmarsh/replays/record.replay", {}, "read", "refused"},
    {"spinmarsh-sim --replay", "game.replay", {}, "read", "refused"},
};

QByteArray golden() {
    QFile file(kGolden);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program of the game on the file, as nobody when root must be kept from
// reading it: "read" once past the file (the game then finds no display),
// "refused" for one line naming the file and status 2.
QString programReads(const QString& reader, const QString& dir, const QString& file,
                     bool asNobody) {
    QStringList arguments = reader.split(QChar(' '));
    const QString program = QStringLiteral(SPINMARSH_BIN_DIR "/") + arguments.takeFirst();
    if (arguments.last() == QLatin1String("FILE")) {
        arguments.last() = file;
    } else if (arguments.last() == QLatin1String("--replay")) {
        arguments << file;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir + QStringLiteral("/data"));
    QProcess run;
    run.setProcessEnvironment(env);
    if (asNobody) {
        run.start(QStringLiteral("setpriv"),
                  QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                              QStringLiteral("--clear-groups"), program} +
                      arguments);
    } else {
        run.start(program, arguments);
    }
    if (!run.waitForFinished(int(kPatienceMs) * 2)) {
        run.kill();
        run.waitForFinished();
        return QStringLiteral("still waiting");
    }
    const QString err = QString::fromLocal8Bit(run.readAllStandardError());
    if (run.exitCode() == (program.endsWith(QStringLiteral("-sim")) ? 0 : 1)) {
        return QStringLiteral("read");
    }
    return run.exitCode() == 2 && err.count(QChar('\n')) == 1 && err.contains(file + ": ")
               ? QStringLiteral("refused")
               : err;
}

// The reader at work in this process.
QString reads(const QString& reader, const QString& file) {
    if (reader == QLatin1String("record")) {
        QSettingsStore store;
        return HighScoreRecord(store).scoreText() + QChar('|') + HighScoreRecord(store).name();
    }
    if (reader == QLatin1String("preferences")) {
        return QLatin1String(IniPreferences(file).load().music ? "on" : "off");
    }
    if (reader == QLatin1String("tune")) {
        return QString::fromLatin1(readTuneFile(file));
    }
    if (reader == QLatin1String("pruning")) {
        Records(RecordsFolder(), QString()).prune();
        const QDir folder(Replays::folder());
        const auto all = QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot;
        return QStringLiteral("%1 left").arg(folder.entryList(all).size());
    }
    std::string error;
    const std::optional<Recording> game = reader == QLatin1String("recording")
                                              ? loadRecording(file, error)
                                              : Replays::loadRecordGame(15050, error);
    const QString said = QString::fromStdString(error);
    return game                                           ? QStringLiteral("read")
           : said.startsWith(file + QStringLiteral(": ")) ? QStringLiteral("refused")
                                                          : said;
}

} // namespace

class TestFileKinds : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void everyReaderReadsOnlyItsFile_data() {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");
        for (int i = 0; i < int(std::size(kReaders)); ++i) {
            const Reader& reader = kReaders[i];
            for (const QString& kind : file_kinds::kAll) {
                // The pruning only looks, and removes as the player: an empty
                // or unreadable file is still one of the recordings.
                const bool counts = QByteArray(reader.name) == "pruning"
                                        ? !file_kinds::kOdd.contains(kind)
                                        : kind == file_kinds::kNormal;
                QTest::addRow("%s, %s", reader.name, qPrintable(kind))
                    << i << kind << QString::fromUtf8(counts ? reader.read : reader.none);
            }
        }
    }

    void everyReaderReadsOnlyItsFile() {
        QFETCH(int, reader);
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        const Reader& r = kReaders[reader];
        const QString name = QString::fromLatin1(r.name);
        QTemporaryDir dir;
        // The unprivileged reader must reach the file.
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ExeOther);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
        const QString file = dir.filePath(QString::fromLatin1(r.place));
        QVERIFY(file_kinds::make(kind, file, r.normal.isEmpty() ? golden() : r.normal));
        // The record the record's game must match, and the pruning's newer
        // recordings.
        if (name != QLatin1String("record")) {
            QVERIFY(file_kinds::make(file_kinds::kNormal,
                                     dir.filePath(QStringLiteral("config/Rollvane.ini")), kRecord));
        }
        for (int i = 0; name == QLatin1String("pruning") && i < Records::kKept; ++i) {
            QVERIFY(file_kinds::make(
                file_kinds::kNormal,
                dir.filePath(QStringLiteral("data/spinmarsh/replays/20260101-0000%1-1.replay")
                                 .arg(i, 2, 10, QChar(u'0'))),
                golden()));
        }
        const QString before = file_kinds::describe(file);
        // Root reads whatever it likes; as nobody, the file is unreadable.
        const bool asNobody = geteuid() == 0 && kind == QLatin1String("unreadable") &&
                              name != QLatin1String("pruning");
        QElapsedTimer clock;
        clock.start();
        QString outcome;
        if (name.startsWith(QStringLiteral("spinmarsh"))) {
            outcome = programReads(name, dir.path(), file, asNobody);
        } else {
            QVERIFY(!asNobody || seteuid(65534) == 0);
            outcome = reads(name, file);
            QVERIFY(!asNobody || seteuid(0) == 0);
        }
        const qint64 ms = clock.elapsed();
        qInfo("%s, %s: %lld ms", r.name, qPrintable(kind), ms);
        QCOMPARE(outcome, expected);
        QVERIFY2(ms < kPatienceMs, qPrintable(QString::number(ms)));
        // Whatever was not taken is still there as it was.
        QVERIFY(outcome == QLatin1String(r.read) || file_kinds::describe(file) == before);
    }
};

QTEST_GUILESS_MAIN(TestFileKinds)
#include "test_file_kinds.moc"
