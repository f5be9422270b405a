// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/replays.h"
#include "platform/storage/preferences.h"
#include "platform/storage/qsettings_store.h"
#include "screens/high_score_record.h"
#include "tests/support/file_kinds.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <QLockFile>
#include <QRandomGenerator>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The settings file as people leave it: edited by hand, half written,
// overwritten by something else, locked away. The game must start, read
// something sensible and never destroy a record it cannot read.

namespace {

// The section and keys as the file spells them.
const QByteArray kSection = "[%U30C7%U30FC%U30BF]\n";
const QByteArray kScore = "%U30CF%U30A4%U30B9%U30B3%U30A2=";
const QByteArray kName = "%U540D%U524D=";

QByteArray recordText(const QByteArray& score, const QByteArray& name = "Kit") {
    return kSection + kScore + score + '\n' + kName + name + '\n';
}

QByteArray noise(qsizetype size) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = char((i * 7919 + 13) % 256);
    }
    return bytes;
}

QString settingsFile(const QString& folder) {
    return folder + QStringLiteral("/Rollvane.ini");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Run in a child process: reads the record and tries to replace it, and
// reports what it saw on standard output.
int childReadsAndWrites() {
    QSettingsStore store;
    HighScoreRecord record(store);
    const QString before = record.scoreText() + QChar('|') + record.name();
    const bool written =
        record.saveIfHigher(QStringLiteral("Ann"), 900) == SettingsStore::Change::Stored;
    std::printf("%s|%s\n", qPrintable(before), written ? "written" : "refused");
    return 0;
}

// A copy of this process running `work`; it ends with work's result and never
// comes back into the test.
pid_t forked(const std::function<int()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(work());
    }
    return pid;
}

int exitCode(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void killed(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// A pipe one side waits on until the other writes a byte or closes it.
struct Signal {
    int ends[2] = {-1, -1};
    Signal() { QVERIFY(pipe(ends) == 0); }
    ~Signal() {
        close(ends[0]);
        close(ends[1]);
    }
    void give() { QVERIFY(::write(ends[1], "!", 1) == 1); }
    void await() {
        char byte = 0;
        QVERIFY(::read(ends[0], &byte, 1) == 1);
    }
};

SettingsStore::Change save(const QString& name, int32_t score) {
    QSettingsStore store;
    return HighScoreRecord(store).saveIfHigher(name, score);
}

// What the savers below keep as the game of a record of `score`.
QByteArray gameOf(int32_t score) {
    return "total " + QByteArray::number(score) + '\n';
}

// Saves as the window game does, keeping the game beside the record.
SettingsStore::Change saveWithGame(HighScoreRecord& record, const QString& name, int32_t score) {
    record.game = {Replays::dropRecordGame, [score] { Replays::keepRecordGame(gameOf(score)); }};
    return record.saveIfHigher(name, score);
}

// record.replay is the stored score's game, or absent (false).
bool recordGameAgrees(bool& present) {
    QSettingsStore store;
    QFile file(Replays::recordFile());
    present = file.open(QIODevice::ReadOnly);
    return !present || file.readAll() == gameOf(HighScoreRecord(store).score());
}

} // namespace

class TestBadSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString folder() const { return m_dir.path() + QStringLiteral("/config"); }
    const QByteArray m_tmpdir = qgetenv("TMPDIR");
    std::optional<QTemporaryDir> m_memory;

    // The settings file in memory (a tmpfs), for the savers below that save
    // hundreds of times: on a disk every save waits for its writes to reach
    // it. A killed process leaves the files as it would on a disk.
    QString inMemory() {
        m_memory.emplace(QDir(QStringLiteral("/dev/shm")).exists()
                             ? QStringLiteral("/dev/shm/spinmarsh-XXXXXX")
                             : QDir::tempPath() + QStringLiteral("/spinmarsh-XXXXXX"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_memory->path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_memory->path()));
        qputenv("TMPDIR", QFile::encodeName(m_memory->path()));
        return settingsFile(m_memory->path());
    }

    // What a fresh reader of the file sees.
    static QString seen() {
        QSettingsStore store;
        HighScoreRecord record(store);
        return record.scoreText() + QChar('|') + record.name();
    }

    // The child above, as a user who is not root when the test is, since
    // root reads and writes through any file mode.
    QString childSees() {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SPINMARSH_SETTINGS_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        const QString self = QCoreApplication::applicationFilePath();
        if (geteuid() == 0) {
            child.start(QStringLiteral("setpriv"),
                        {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                         QStringLiteral("--clear-groups"), self});
        } else {
            child.start(self, {});
        }
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            return QStringLiteral("child failed: ") + QString::fromLocal8Bit(child.readAll());
        }
        return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    }

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        // The unprivileged child must reach the folder.
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                QFileDevice::ExeOther);
    }

    void init() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/data")));
        if (m_tmpdir.isEmpty()) {
            qunsetenv("TMPDIR");
        } else {
            qputenv("TMPDIR", m_tmpdir);
        }
        m_memory.reset();
        QDir(folder()).removeRecursively();
        QVERIFY(QDir().mkpath(folder()));
    }

    void cleanup() {
        if (m_mounted) {
            QProcess::execute(QStringLiteral("umount"), {folder()});
            m_mounted = false;
        }
        QFile::setPermissions(folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner);
        QFile::setPermissions(settingsFile(folder()),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // Whatever the file holds, or whatever lies in its place, the game reads
    // a record (or none) and a new high score can still be stored over it.
    // What can never be a record is moved aside first, as it is.
    void damagedFileStillTakesANewRecord_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("read");
        QTest::addColumn<bool>("movedAside");
        const QString normal = file_kinds::kNormal;
        // The record, then a comment up to `size` bytes.
        const auto padded = [](qint64 size) {
            const QByteArray record = recordText("700") + '#';
            return record + QByteArray(size - record.size(), 'x');
        };
        QTest::newRow("empty") << normal << QByteArray() << "0|Tovik" << false;
        QTest::newRow("binary garbage") << normal << noise(4096) << "0|Tovik" << false;
        QTest::newRow("garbage around the record")
            << normal << noise(512) + '\n' + recordText("700") + noise(512) << "700|Kit" << false;
        QTest::newRow("cut short in the score")
            << normal << recordText("700").left(kSection.size() + 20) << "0|Tovik" << false;
        QTest::newRow("score with a blank") << normal << recordText(" 12") << "12|Kit" << false;
        QTest::newRow("quoted score with a blank")
            << normal << recordText("\" 12\"") << " 12|Kit" << false;
        QTest::newRow("score with a comma") << normal << recordText("1,000") << "0|Kit" << false;
        QTest::newRow("duplicate keys")
            << normal
            << kSection + kScore + "500\n" + kScore + "700\n" + kName + "A\n" + kName + "B\n"
            << "700|B" << false;
        QTest::newRow("section twice")
            << normal << recordText("500", "A") + recordText("700", "B") << "700|B" << false;
        // The new record must fit too: a little room is left for it.
        QTest::newRow("nearly the most a record may be")
            << normal << padded(kMaxIniBytes - 64) << "700|Kit" << false;
        QTest::newRow("a byte over the most")
            << normal << padded(kMaxIniBytes + 1) << "0|Tovik" << true;
        for (const QString& kind : file_kinds::kOdd) {
            QTest::newRow(qPrintable(kind)) << kind << QByteArray() << "0|Tovik" << true;
        }
    }

    void damagedFileStillTakesANewRecord() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(QString, read);
        QFETCH(bool, movedAside);
        const QString file = settingsFile(folder());
        QVERIFY(file_kinds::make(kind, file, content));
        const QString before = file_kinds::describe(file);
        QCOMPARE(seen(), read);

        QSettingsStore store;
        HighScoreRecord record(store);
        QCOMPARE(record.saveIfHigher(QStringLiteral("Ann"), 900), SettingsStore::Change::Stored);
        QCOMPARE(seen(), QStringLiteral("900|Ann"));
        // One score and one name, whatever was there before.
        const QByteArray after = readFile(file);
        QCOMPARE(after.count(kScore), 1);
        QCOMPARE(after.count(kName), 1);
        const QStringList aside =
            QDir(folder()).entryList({QStringLiteral("Rollvane.ini.damaged-*")},
                                     QDir::AllEntries | QDir::System | QDir::Hidden);
        QCOMPARE(aside.size(), movedAside ? 1 : 0);
        QCOMPARE(record.movedAside(), movedAside ? QDir(folder()).filePath(aside[0]) : QString());
        if (movedAside) {
            QVERIFY(QDateTime::fromString(aside[0].mid(21), QStringLiteral("yyyyMMdd-HHmmss"))
                        .isValid());
            QCOMPARE(file_kinds::describe(record.movedAside()), before);
        }
    }

    // Another copy of the game can replace the file by one of the same size
    // in the same tick of the file system's clock: it still reads anew.
    void replacedByTheSameSizeAtTheSameTime() {
        const QString file = settingsFile(folder());
        writeFile(file, recordText("900", "Ann"));
        const QDateTime time = QFileInfo(file).lastModified();
        QCOMPARE(seen(), QStringLiteral("900|Ann"));
        writeFile(file, recordText("800", "Bob"));
        QFile same(file);
        QVERIFY(same.open(QIODevice::ReadWrite));
        QVERIFY(same.setFileTime(time, QFileDevice::FileModificationTime));
        same.close();
        QCOMPARE(seen(), QStringLiteral("800|Bob"));
    }

    // A lock file beside the record: another copy saving right now, or one
    // left behind. A copy that is saving, this game or an older one that
    // locks with QLockFile, is waited for about a second and the save gives
    // up (the player is told) instead of freezing the game. Whatever a dead
    // one left, on this host or another, is taken over at once.
    void lockBesideTheFile_data() {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<SettingsStore::Change>("outcome");
        QTest::newRow("a live copy") << "live" << SettingsStore::Change::Failed;
        QTest::newRow("a live older copy") << "older" << SettingsStore::Change::Failed;
        QTest::newRow("a dead older copy") << "dead" << SettingsStore::Change::Stored;
        QTest::newRow("empty, just left") << "empty" << SettingsStore::Change::Stored;
        QTest::newRow("another host's") << "host" << SettingsStore::Change::Stored;
    }

    void lockBesideTheFile() {
        QFETCH(QString, holder);
        QFETCH(SettingsStore::Change, outcome);
        const QString file = settingsFile(folder());
        const QString lockName = file + QStringLiteral(".lock");
        writeFile(file, recordText("700"));
        Signal locked;
        Signal release;
        pid_t live = 0;
        if (holder == QLatin1String("live")) {
            live = forked([&] {
                QSettingsStore store;
                store.write(record::kApplication, record::kSection,
                            [&](const SettingsStore::Values&) {
                                locked.give();
                                release.await();
                                return SettingsStore::Values();
                            },
                            {});
                return 0;
            });
            locked.await();
        } else if (holder == QLatin1String("older") || holder == QLatin1String("dead")) {
            const bool stays = holder == QLatin1String("older");
            live = forked([&] {
                QLockFile lock(lockName);
                if (!lock.lock()) {
                    return 1;
                }
                locked.give();
                if (stays) {
                    release.await();
                }
                _exit(0); // the lock file stays behind
            });
            locked.await();
            if (!stays) {
                QCOMPARE(exitCode(live), 0);
                live = 0;
            }
        } else {
            writeFile(lockName, holder == QLatin1String("host")
                                    ? QByteArray("4242\nspinmarsh\nelsewhere.invalid\n")
                                    : QByteArray());
        }
        QElapsedTimer clock;
        clock.start();
        const SettingsStore::Change result = save(QStringLiteral("Ann"), 900);
        const qint64 ms = clock.elapsed();
        if (live != 0) {
            killed(live);
        }
        QCOMPARE(result, outcome);
        // About a second, where QSettings waits about thirty.
        QVERIFY2(ms < 5000, qPrintable(QString::number(ms)));
        QVERIFY2(outcome == SettingsStore::Change::Stored || ms >= 900,
                 qPrintable(QString::number(ms)));
        QCOMPARE(seen(), outcome == SettingsStore::Change::Stored ? QStringLiteral("900|Ann")
                                                                  : QStringLiteral("700|Kit"));
    }

    // A file system with no room for the new file, or for only the first
    // part of it: the save is reported as failed and the old record stays
    // whole. (The lock's file is empty: it always fits.)
    void diskFull_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no room at all") << "4k" << recordText("700");
        QTest::newRow("room for a part")
            << "12k" << recordText("700") + "[more]\nkey=" + QByteArray(6000, 'x') + '\n';
    }

    void diskFull() {
        QFETCH(QString, size);
        QFETCH(QByteArray, content);
        if (geteuid() != 0) {
            QSKIP("mounting a small file system needs root");
        }
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=") + size, QStringLiteral("tmpfs"),
                               folder()}) != 0) {
            QSKIP("no tmpfs could be mounted here");
        }
        m_mounted = true;
        const QString file = settingsFile(folder());
        writeFile(file, content);
        QCOMPARE(save(QStringLiteral("Ann"), 900), SettingsStore::Change::Failed);
        QCOMPARE(readFile(file), content);
        QCOMPARE(seen(), QStringLiteral("700|Kit"));
    }

    // Killed at any moment of a save (SIGKILL, a power cut, a logout), the
    // game leaves the old record or the new one, whole, never lower, with
    // its game beside it or none; the lock goes with the saver, so the next
    // save, right after the kill, stores its record. Each saver is killed
    // within its first, second or third save.
    void killedWhileSaving() {
        const QString file = inMemory();
        writeFile(file, recordText("700"));
        QElapsedTimer clock;
        clock.start();
        for (int score = 701; score <= 710; ++score) {
            QCOMPARE(save(QStringLiteral("P") + QString::number(score), score),
                     SettingsStore::Change::Stored);
        }
        const qint64 saveUs = clock.nsecsElapsed() / 10000;
        QString last = seen();
        int replaced = 0;
        int locksLeft = 0;
        int gamesLeft = 0;
        qint64 slowestNextMs = 0;
        QSettingsStore store;
        HighScoreRecord record(store);
        for (int run = 0; run < 300; ++run) {
            Signal saving; // a byte as each save begins
            const pid_t saver = forked([&] {
                for (int32_t score = record.score() + 1;; ++score) {
                    saving.give();
                    saveWithGame(record, QStringLiteral("P") + QString::number(score), score);
                }
                return 0;
            });
            for (int begun = 0; begun <= run % 3; ++begun) {
                saving.await();
            }
            usleep(useconds_t(QRandomGenerator::global()->bounded(2 * saveUs + 1)));
            killed(saver);
            locksLeft += QFileInfo::exists(file + QStringLiteral(".lock"));

            const QString now = seen();
            const QStringList parts = now.split(QChar('|'));
            QVERIFY2(now == last || parts[1] == QStringLiteral("P") + parts[0],
                     qPrintable(now + QStringLiteral(" after ") + last));
            QVERIFY2(parts[0].toInt() >= last.split(QChar('|'))[0].toInt(), qPrintable(now));
            const QByteArray bytes = readFile(file);
            QCOMPARE(bytes.count(kScore), 1);
            QCOMPARE(bytes.count(kName), 1);
            bool present = false;
            QVERIFY2(recordGameAgrees(present), qPrintable(now));
            gamesLeft += present;
            replaced += now != last;

            const int32_t next = parts[0].toInt() + 1;
            clock.restart();
            QCOMPARE(saveWithGame(record, QStringLiteral("P") + QString::number(next), next),
                     SettingsStore::Change::Stored);
            slowestNextMs = std::max(slowestNextMs, clock.elapsed());
            QVERIFY(recordGameAgrees(present) && present);
            last = seen();
        }
        // Every saver that got to its second save had stored one.
        QVERIFY2(replaced >= 200, qPrintable(QString::number(replaced)));
        qInfo("a save takes %lld us; of 300 killed savers %d left a new record, %d their lock "
              "file, %d a game beside the record; the slowest save after a kill took %lld ms",
              saveUs, replaced, locksLeft, gamesLeft, slowestNextMs);
    }

    // Two copies of the game saving over and over at the same time, each a
    // score one above what it last read: the record never goes down, every
    // save that says so replaced the record (no two took the same step), and
    // name, score and the game beside them stay one player's.
    void twoGamesSavingAtOnce() {
        writeFile(inMemory(), recordText("700"));
        Signal start;
        Signal counts;
        auto game = [&](const QString& player) {
            return [&, player] {
                QSettingsStore store;
                HighScoreRecord record(store);
                int32_t last = 0;
                char saved = 0;
                close(start.ends[1]);
                char byte;
                if (::read(start.ends[0], &byte, 1) != 0) {
                    return 2;
                }
                for (int i = 0; i < 60; ++i) {
                    const int32_t score = record.score();
                    if (score < last) {
                        return 1;
                    }
                    last = score;
                    saved += saveWithGame(record, player + QString::number(score + 1), score + 1) ==
                             SettingsStore::Change::Stored;
                }
                return ::write(counts.ends[1], &saved, 1) == 1 ? 0 : 3;
            };
        };
        const pid_t a = forked(game(QStringLiteral("A")));
        const pid_t b = forked(game(QStringLiteral("B")));
        close(start.ends[1]);
        start.ends[1] = -1;
        QCOMPARE(exitCode(a), 0);
        QCOMPARE(exitCode(b), 0);
        char savedA = 0;
        char savedB = 0;
        QVERIFY(::read(counts.ends[0], &savedA, 1) == 1);
        QVERIFY(::read(counts.ends[0], &savedB, 1) == 1);
        const QStringList parts = seen().split(QChar('|'));
        QCOMPARE(parts[0].toInt(), 700 + savedA + savedB);
        QVERIFY(parts[1] == QStringLiteral("A") + parts[0] ||
                parts[1] == QStringLiteral("B") + parts[0]);
        bool present = false;
        QVERIFY(recordGameAgrees(present) && present);
        qInfo("saved %d and %d times", savedA, savedB);
    }

    // A file the player may not read, and a folder the player may not write:
    // the record is taken as absent or read as it is, the new one is refused
    // (the game then says so), and the file is not touched.
    void lockedAway_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<bool>("fileReadable");
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<QString>("seen");
        QTest::newRow("unreadable file") << recordText("700") << false << true << "0|Tovik|refused";
        QTest::newRow("read-only folder")
            << recordText("700") << true << false << "700|Kit|refused";
        QTest::newRow("read-only folder, no file")
            << QByteArray() << true << false << "0|Tovik|refused";
        QTest::newRow("read-only folder, damaged file")
            << noise(512) + '\n' + recordText("700") << true << false << "700|Kit|refused";
    }

    void lockedAway() {
        QFETCH(QByteArray, content);
        QFETCH(bool, fileReadable);
        QFETCH(bool, folderWritable);
        QFETCH(QString, seen);
        const QString file = settingsFile(folder());
        if (!content.isNull()) {
            writeFile(file, content);
            // Readable means read and write for everyone: only the folder
            // stands in the way then.
            QFile::setPermissions(file, fileReadable
                                            ? QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther | QFileDevice::WriteOther
                                            : QFileDevice::Permissions());
        }
        QFile::setPermissions(
            folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadOther | QFileDevice::ExeOther |
                          (folderWritable ? QFileDevice::WriteOther : QFileDevice::Permissions()));
        const QStringList before = QDir(folder()).entryList(QDir::Files | QDir::Hidden);

        QCOMPARE(childSees(), seen);
        QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden), before);
        if (!content.isNull()) {
            QCOMPARE(readFile(file), content);
        }
    }

    // The player's own choices beside the record, in whatever state: read as
    // the defaults unless they are there to read, saved when the file can
    // be written, and neither ever waits or complains.
    void preferencesFile_data() {
        QTest::addColumn<QString>("place"); // what lies where the file belongs
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("musicRead");
        QTest::addColumn<bool>("fullscreenRead");
        QTest::addColumn<bool>("saved");
        const QByteArray kept = "[General]\nfullscreen=true\nmusic=false\n";
        QTest::newRow("no file yet") << "file" << QByteArray() << true << false << true;
        QTest::newRow("choices kept") << "file" << kept << false << true << true;
        QTest::newRow("binary garbage") << "file" << noise(4096) << true << false << true;
        QTest::newRow("words that are no choice")
            << "file" << QByteArray("[General]\nmusic=off\nfullscreen=1\n") << true << false
            << true;
        QTest::newRow("a folder in its place")
            << "folder" << QByteArray() << true << false << false;
        QTest::newRow("a pipe in its place") << "pipe" << QByteArray() << true << false << false;
        QTest::newRow("a folder that cannot be made")
            << "under a file" << QByteArray() << true << false << false;
        QTest::newRow("read-only") << "read-only" << kept << false << true << false;
        QTest::newRow("a lock left by a crash") << "lock" << kept << false << true << false;
    }

    void preferencesFile() {
        QFETCH(QString, place);
        QFETCH(QByteArray, content);
        QFETCH(bool, musicRead);
        QFETCH(bool, fullscreenRead);
        QFETCH(bool, saved);
        QString dir = folder() + QStringLiteral("/invalid.spinmarsh.spinmarsh");
        if (place == QLatin1String("under a file")) {
            writeFile(folder() + QStringLiteral("/plain"), "x");
            dir = folder() + QStringLiteral("/plain/invalid.spinmarsh.spinmarsh");
        } else if (place == QLatin1String("read-only") && geteuid() == 0) {
            // Root writes through any file mode; not through a read-only mount.
            if (QProcess::execute(QStringLiteral("mount"),
                                  {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                   QStringLiteral("tmpfs"), folder()}) != 0) {
                QSKIP("no tmpfs could be mounted here");
            }
            m_mounted = true;
        }
        const QString file = dir + QStringLiteral("/spinmarsh.ini");
        QDir().mkpath(dir);
        if (place == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(file));
        } else if (place == QLatin1String("pipe")) {
            QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        } else if (!content.isNull()) {
            writeFile(file, content);
        }
        if (place == QLatin1String("lock")) {
            writeFile(file + QStringLiteral(".lock"), QByteArray());
        } else if (place == QLatin1String("read-only")) {
            if (m_mounted) {
                QCOMPARE(QProcess::execute(
                             QStringLiteral("mount"),
                             {QStringLiteral("-o"), QStringLiteral("remount,ro"), folder()}),
                         0);
            } else {
                QFile::setPermissions(file, QFileDevice::ReadOwner);
                QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            }
        }

        QElapsedTimer clock;
        clock.start();
        IniPreferences preferences(file);
        const Choices read = preferences.load();
        QCOMPARE(read, (Choices{musicRead, fullscreenRead}));
        const Choices chosen{!musicRead, !fullscreenRead};
        preferences.save(chosen);
        const qint64 ms = clock.elapsed();
        QCOMPARE(IniPreferences(file).load(), saved ? chosen : read);
        // QSettings alone waits about thirty seconds for a lock it cannot
        // prove stale.
        QVERIFY2(ms < 3000, qPrintable(QString::number(ms)));
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner);
        if (saved) {
            // As QSettings writes it: the group [General], true and false.
            const QByteArray after = readFile(file);
            QVERIFY2(after.contains("[General]\n") &&
                         after.contains("music=" + QByteArray(chosen.music ? "true" : "false")),
                     after.constData());
        }
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("SPINMARSH_SETTINGS_CHILD")) {
        QCoreApplication app(argc, argv);
        return childReadsAndWrites();
    }
    QCoreApplication app(argc, argv);
    TestBadSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_bad_settings.moc"
