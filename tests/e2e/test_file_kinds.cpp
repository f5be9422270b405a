// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/replays.h"
#include "platform/fluidsynth_music_player.h"
#include "platform/preferences.h"
#include "screens/high_score_record.h"
#include "tests/support/file_kinds.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// Every reader of the game's files against every kind of thing that can lie
// in a file's place, on the real file system: each reads only what can be
// its file, takes anything else as absent or refuses it by name, and none
// waits on a pipe, reads a device or reads a huge file whole.

namespace {

const QString kGolden = QStringLiteral(SPINMARSH_SOURCE_DIR "/tests/data/replay/golden.replay");
constexpr int kGoldenTotal = 15050;
// Starting a program on a loaded machine takes a while; waiting on a pipe or
// reading gigabytes takes longer.
constexpr qint64 kPatienceMs = 5000;

QByteArray recordText(int score, const QByteArray& name) {
    return "[%U30C7%U30FC%U30BF]\n%U30CF%U30A4%U30B9%U30B3%U30A2=" + QByteArray::number(score) +
           "\n%U540D%U524D=" + name + '\n';
}

QByteArray golden() {
    QFile file(kGolden);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString filedName(int i) {
    return QStringLiteral("20260101-0000%1-1.replay").arg(i, 2, 10, QChar('0'));
}

// Where each reader looks, below the row's own folder.
QString placeOf(const QString& reader) {
    if (reader == QLatin1String("record")) {
        return QStringLiteral("config/Rollvane.ini");
    }
    if (reader == QLatin1String("preferences")) {
        return QStringLiteral("config/spinmarsh.ini");
    }
    if (reader == QLatin1String("tune")) {
        return QStringLiteral("0.mid");
    }
    if (reader == QLatin1String("pruning")) {
        // The oldest name: the first to go when it counts.
        return QStringLiteral("data/spinmarsh/replays/19990101-000000-1.replay");
    }
    if (reader.contains(QStringLiteral("record"))) {
        return QStringLiteral("data/spinmarsh/replays/record.replay");
    }
    return QStringLiteral("game.replay");
}

QByteArray normalOf(const QString& reader) {
    if (reader == QLatin1String("record")) {
        return recordText(700, "Kit");
    }
    if (reader == QLatin1String("preferences")) {
        return "[General]\nmusic=false\nfullscreen=true\n";
    }
    if (reader == QLatin1String("tune")) {
        return "MThd tune";
    }
    return golden();
}

// What a reader makes of the file when it reads it, and when it takes it as
// absent or refuses it.
std::pair<QString, QString> outcomesOf(const QString& reader) {
    if (reader == QLatin1String("record")) {
        return {QStringLiteral("700|Kit"), QStringLiteral("0|Tovik")};
    }
    if (reader == QLatin1String("preferences")) {
        return {QStringLiteral("music off, fullscreen"), QStringLiteral("music on, window")};
    }
    if (reader == QLatin1String("pruning")) {
        return {QStringLiteral("%1 left").arg(Replays::kKept),
                QStringLiteral("%1 left").arg(Replays::kKept + 1)};
    }
    return {QStringLiteral("read"), QStringLiteral("refused")};
}

// Runs a program of the game on the file, as `nobody` should root need to be
// kept from reading it: "read" when it got past the file (the game then finds
// no display), "refused" when it said no to the file by name, status 2.
QString programOutcome(const QString& reader, const QString& dir, const QString& file,
                       bool asNobody) {
    const QStringList words = reader.split(QChar(' '));
    QStringList arguments = words.mid(1);
    if (reader == QLatin1String("spinmarsh FILE")) {
        arguments = QStringList{file};
    } else if (reader.endsWith(QStringLiteral("--replay"))) {
        arguments << file;
    }
    QString program = QStringLiteral(SPINMARSH_BIN_DIR "/") + words[0];
    if (asNobody) {
        arguments.prepend(program);
        arguments = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups")} +
                    arguments;
        program = QStringLiteral("setpriv");
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir + QStringLiteral("/data"));
    QProcess run;
    run.setProcessEnvironment(env);
    run.start(program, arguments);
    if (!run.waitForFinished(int(kPatienceMs) * 2)) {
        run.kill();
        run.waitForFinished();
        return QStringLiteral("still waiting");
    }
    const QString err = QString::fromLocal8Bit(run.readAllStandardError());
    const bool noDisplay = words[0] == QLatin1String("spinmarsh") && run.exitCode() == 1;
    if (noDisplay || (words[0] != QLatin1String("spinmarsh") && run.exitCode() == 0)) {
        return QStringLiteral("read");
    }
    return run.exitCode() == 2 && err.count(QChar('\n')) == 1 && err.contains(file + ": ")
               ? QStringLiteral("refused")
               : QStringLiteral("status %1: %2").arg(run.exitCode()).arg(err);
}

// The reader at work in this process.
QString readerOutcome(const QString& reader, const QString& file) {
    std::string error;
    if (reader == QLatin1String("record")) {
        QSettingsStore store;
        const HighScoreRecord record(store);
        return record.scoreText() + QChar('|') + record.name();
    }
    if (reader == QLatin1String("preferences")) {
        const Choices read = IniPreferences(file).load();
        return QStringLiteral("music %1, %2")
            .arg(read.music ? "on" : "off", read.fullscreen ? "fullscreen" : "window");
    }
    if (reader == QLatin1String("tune")) {
        return readTuneFile(file) == normalOf(reader) ? QStringLiteral("read")
                                                      : QStringLiteral("refused");
    }
    if (reader == QLatin1String("pruning")) {
        Replays::prune();
        return QStringLiteral("%1 left").arg(
            QDir(Replays::folder())
                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                .size());
    }
    const std::optional<Recording> game = reader == QLatin1String("recording")
                                              ? loadRecording(file, error)
                                              : Replays::loadRecordGame(kGoldenTotal, error);
    if (game) {
        return QStringLiteral("read");
    }
    const QString said = QString::fromStdString(error);
    return said.startsWith(file + QStringLiteral(": ")) ? QStringLiteral("refused") : said;
}

} // namespace

class TestFileKinds : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void everyReaderReadsOnlyItsFile_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");
        for (const char* reader : {"record", "preferences", "tune", "recording", "record's game",
                                   "pruning", "spinmarsh FILE", "spinmarsh --replay",
                                   "spinmarsh --watch-record", "spinmarsh-sim --replay"}) {
            const QString name = QString::fromLatin1(reader);
            const auto [read, refused] = outcomesOf(name);
            for (const QString& kind : file_kinds::all()) {
                // The pruning only looks and removes: a file it may not read
                // is still one of its recordings.
                const bool counts = name == QLatin1String("pruning")
                                        ? !file_kinds::odd().contains(kind)
                                        : kind == file_kinds::kNormal;
                QTest::addRow("%s, %s", reader, qPrintable(kind))
                    << name << kind << (counts ? read : refused);
            }
        }
    }

    void everyReaderReadsOnlyItsFile() {
        QFETCH(QString, reader);
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        // The unprivileged reader must reach the file.
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
        const QString file = dir.filePath(placeOf(reader));
        QVERIFY(file_kinds::make(kind, file, normalOf(reader)));
        if (reader.contains(QStringLiteral("record")) && reader != QLatin1String("record")) {
            QVERIFY(file_kinds::make(file_kinds::kNormal,
                                     dir.filePath(placeOf(QStringLiteral("record"))),
                                     recordText(kGoldenTotal, "Kit")));
        }
        if (reader == QLatin1String("pruning")) {
            for (int i = 0; i < Replays::kKept; ++i) {
                QVERIFY(file_kinds::make(
                    file_kinds::kNormal,
                    dir.filePath(QStringLiteral("data/spinmarsh/replays/") + filedName(i)),
                    golden()));
            }
        }
        // Root reads whatever it likes; as nobody, the file is unreadable. The
        // pruning reads nothing, and removes as the player.
        const bool asNobody =
            geteuid() == 0 && kind == file_kinds::kUnreadable && reader != QLatin1String("pruning");
        QElapsedTimer clock;
        clock.start();
        QString outcome;
        if (reader.startsWith(QStringLiteral("spinmarsh"))) {
            outcome = programOutcome(reader, dir.path(), file, asNobody);
        } else {
            if (asNobody) {
                QCOMPARE(seteuid(65534), 0);
            }
            outcome = readerOutcome(reader, file);
            if (asNobody) {
                QCOMPARE(seteuid(0), 0);
            }
        }
        const qint64 ms = clock.elapsed();
        qInfo("%s, %s: %lld ms", qPrintable(reader), qPrintable(kind), ms);
        QCOMPARE(outcome, expected);
        QVERIFY2(ms < kPatienceMs, qPrintable(QString::number(ms)));
        // Whatever was refused is still there as it was.
        QVERIFY(file_kinds::still(kind, file) || kind == file_kinds::kMissing ||
                reader == QLatin1String("pruning"));
    }
};

QTEST_GUILESS_MAIN(TestFileKinds)
#include "test_file_kinds.moc"
