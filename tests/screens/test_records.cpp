// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headless/recording_samples.h"
#include "screens/records.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

#include <sys/stat.h>

namespace {

const QString kAccount = QStringLiteral("Account Holder");

// The kept golden game, made to add up to `total`.
QByteArray recordingWorth(int32_t total) {
    QFile golden(QStringLiteral(SPINMARSH_SOURCE_DIR "/tests/data/replay/golden.replay"));
    golden.open(QIODevice::ReadOnly);
    std::string error;
    return recordingWorth(*parseRecording(golden.readAll().toStdString(), error), total);
}

// A data folder of its own, with recordings filed as the game files them.
struct Folder {
    QTemporaryDir dir;
    RecordsFolder folder{dir.path()};
    Records records{folder, kAccount};

    Folder() { QDir().mkpath(folder.replaysDir()); }

    // `stamp` is yyyyMMdd-HHmmss.
    QString add(const QString& stamp, int32_t total) {
        const QString file =
            stamp + QChar('-') + QString::number(total) + QStringLiteral(".replay");
        folder.writeReplay(file, recordingWorth(total));
        return file;
    }
    QString path(const QString& name) const { return folder.replaysDir() + QChar('/') + name; }
    void writeTable(const QByteArray& text) const {
        QFile file(folder.tableFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
};

QStringList files(const std::vector<RecordEntry>& entries) {
    QStringList out;
    for (const RecordEntry& e : entries) {
        out << e.file;
    }
    return out;
}

QStringList namesOf(const std::vector<RecordEntry>& entries) {
    QStringList out;
    for (const RecordEntry& e : entries) {
        out << e.name;
    }
    return out;
}

// Games worth 15000 + 50 × i, a second apart, oldest first.
QStringList addGames(Folder& f, int count, const QString& day = QStringLiteral("20260101")) {
    QStringList added;
    for (int i = 0; i < count; ++i) {
        added << f.add(day + QStringLiteral("-10%1").arg(i, 4, 10, QChar('0')),
                       15000 + 50 * (i % 40));
    }
    return added;
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void ranking_data() {
        QTest::addColumn<QStringList>("filed"); // stamp:total
        QTest::addColumn<QStringList>("best");  // stamp:total, best first
        QTest::newRow("best first")
            << QStringList{"20260101-100000:15000", "20260102-100000:16000"}
            << QStringList{"20260102-100000:16000", "20260101-100000:15000"};
        QTest::newRow("equal totals: the earlier first")
            << QStringList{"20260103-100000:15000", "20260101-100000:15000",
                           "20260102-100000:15000"}
            << QStringList{"20260101-100000:15000", "20260102-100000:15000",
                           "20260103-100000:15000"};
        QTest::newRow("earlier by the clock, not by a later day's hour")
            << QStringList{"20260102-090000:15000", "20260101-230000:15000"}
            << QStringList{"20260101-230000:15000", "20260102-090000:15000"};
        QTest::newRow("negative totals rank last")
            << QStringList{"20260101-100000:-250", "20260101-110000:15000"}
            << QStringList{"20260101-110000:15000", "20260101-100000:-250"};
        QStringList eleven;
        QStringList ten;
        for (int i = 0; i < 11; ++i) {
            eleven << QStringLiteral("202601%1-100000:%2").arg(i + 10).arg(15000 + 50 * i);
        }
        for (int i = 10; i > 0; --i) {
            ten << eleven[i];
        }
        QTest::newRow("eleven games: the lowest is out") << eleven << ten;
    }

    void ranking() {
        QFETCH(QStringList, filed);
        QFETCH(QStringList, best);
        Folder f;
        for (const QString& game : filed) {
            f.add(game.section(QChar(':'), 0, 0), game.section(QChar(':'), 1).toInt());
        }
        const std::vector<RecordEntry> ranked = f.records.bestTen();
        QStringList got;
        for (const RecordEntry& e : ranked) {
            got << e.played.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QChar(':') +
                       QString::number(e.total);
        }
        QCOMPARE(got, best);
        // Every entry tells how its game went, from its recording.
        QCOMPARE(ranked.front().end, Form1::End::Escape);
        QCOMPARE(ranked.front().seconds, 2);
    }

    void names_data() {
        QTest::addColumn<QStringList>("typed"); // per game in order; null: no prompt
        QTest::addColumn<QStringList>("named"); // per game in order
        QTest::newRow("nothing typed yet: the account's name")
            << QStringList{QString(), QString()} << QStringList{kAccount, kAccount};
        QTest::newRow("typed, then the last typed")
            << QStringList{"Ann", QString(), "Bo", QString()}
            << QStringList{"Ann", "Ann", "Bo", "Bo"};
        QTest::newRow("an empty name is a name")
            << QStringList{"", QString()} << QStringList{"", ""};
        QTest::newRow("tabs, back slashes, line breaks and kana come back as typed")
            << QStringList{"a\tb\\n\nc", QString(), "すごーい"}
            << QStringList{"a\tb\\n\nc", "a\tb\\n\nc", "すごーい"};
    }

    void names() {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, named);
        Folder f;
        QStringList games;
        for (int i = 0; i < typed.size(); ++i) {
            games << f.add(QStringLiteral("2026010%1-100000").arg(i + 1), 15000 + 50 * i);
            QVERIFY(f.records.enter(games.constLast(),
                                    typed[i].isNull() ? std::nullopt : std::optional(typed[i])));
        }
        QStringList got;
        for (const QString& game : games) {
            for (const RecordEntry& e : f.records.bestTen()) {
                if (e.file == game) {
                    got << e.name;
                }
            }
        }
        QCOMPARE(got, named);
    }

    // The folder a player has, with whatever else has come to lie in it.
    void importsTheFolderOnFirstStart() {
        Folder f;
        const QString kept = f.add(QStringLiteral("20260101-100000"), 15000);
        // The record's game, its dated recording pruned by an older copy.
        QFile record(f.path(QStringLiteral("record.replay")));
        QVERIFY(record.open(QIODevice::WriteOnly));
        record.write(recordingWorth(16000));
        record.close();
        // Refused: cut short, a name that lies about its total, too large, a
        // pipe no one writes to, a folder.
        QFile cut(f.path(QStringLiteral("20260101-110000-17000.replay")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(recordingWorth(17000).left(200));
        cut.close();
        f.folder.writeReplay(QStringLiteral("20260101-120000-18000.replay"), recordingWorth(15050));
        QFile large(f.path(QStringLiteral("20260101-130000-19000.replay")));
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(kMaxRecordingBytes + 1));
        large.close();
        QCOMPARE(::mkfifo(QFile::encodeName(f.path(QStringLiteral("20260101-140000-20000.replay"))),
                          0600),
                 0);
        QVERIFY(QDir().mkpath(f.path(QStringLiteral("20260101-150000-21000.replay"))));
        // Thousands of recordings that are no recordings.
        for (int i = 0; i < 3000; ++i) {
            QFile junk(f.path(QStringLiteral("20250101-%1-1.replay").arg(i, 6, 10, QChar('0'))));
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write("spinmarsh-replay 1\n");
        }

        // What the first start and the records screen take here is a figure
        // for the benchmark notes, not a test: a sanitizer build takes many
        // times longer.
        f.records.open();
        const std::vector<RecordEntry> best = f.records.bestTen();
        const std::vector<RecordEntry> recent = f.records.recent(Records::kKept);

        QCOMPARE(best.size(), size_t{2});
        QCOMPARE(best[0].total, 16000);
        QCOMPARE(best[1].file, kept);
        QCOMPARE(namesOf(best), (QStringList{kAccount, kAccount}));
        QCOMPARE(files(recent).size(), 2);
        // The record's game has a dated recording now, so it stays when
        // record.replay goes with the next high score; a second start adds
        // no other.
        QVERIFY(QFile::exists(f.path(best[0].file)));
        QFile::remove(f.folder.tableFile());
        f.records.open();
        QCOMPARE(files(f.records.bestTen()), files(best));
    }

    void prunesAllButTheBestTen() {
        Folder f;
        const QString best = f.add(QStringLiteral("20250101-100000"), 25000);
        const QStringList newer = addGames(f, 60);
        f.records.prune();
        QStringList left = f.folder.replayNames();
        QVERIFY(left.contains(best));
        // The ten best of the newer games are all among the newest 50 too.
        QCOMPARE(left.size(), Records::kKept + 1);
        for (int i = 0; i < 10; ++i) {
            QVERIFY(!left.contains(newer[i]));
        }
        QCOMPARE(f.records.bestTen().front().file, best);
    }

    void damagedTable_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("kept"); // the name that reads still
        QTest::newRow("a damaged line") << QByteArray("spinmarsh-records 1\nga\x01rbage\n"
                                                      "game\t20260101-100000-15000.replay\tKept\n")
                                        << "Kept";
        QTest::newRow("no heading")
            << QByteArray("game\t20260101-100000-15000.replay\tKept\n") << "Kept";
        QTest::newRow("cut in an escape")
            << QByteArray("spinmarsh-records 1\ngame\t20260101-100000-15000.replay\tKe\\")
            << kAccount;
        QTest::newRow("a name for no recording")
            << QByteArray("spinmarsh-records 1\ngame\tnot-a-recording\tKept\n") << kAccount;
    }

    void damagedTable() {
        QFETCH(QByteArray, table);
        QFETCH(QString, kept);
        Folder f;
        const QString game = f.add(QStringLiteral("20260101-100000"), 15000);
        f.add(QStringLiteral("20260102-100000"), 15100);
        f.writeTable(table);
        f.records.open();
        QCOMPARE(namesOf(f.records.bestTen()), (QStringList{kAccount, kept}));
        // The damaged table is set aside, and the new one reads whole.
        const QFileInfo file(f.folder.tableFile());
        const QStringList asides =
            file.dir().entryList({file.fileName() + QStringLiteral(".damaged-*")});
        QCOMPARE(asides.size(), 1);
        QFile aside(file.dir().filePath(asides[0]));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), table);
        QFile now(f.folder.tableFile());
        QVERIFY(now.open(QIODevice::ReadOnly));
        QVERIFY(!RecordsTable::parse(now.readAll()).damaged);
    }

    void tableThatIsNoFile() {
        Folder f;
        f.add(QStringLiteral("20260101-100000"), 15000);
        QCOMPARE(::mkfifo(QFile::encodeName(f.folder.tableFile()), 0600), 0);
        f.records.open();
        QCOMPARE(namesOf(f.records.bestTen()), QStringList{kAccount});
        QVERIFY(QFileInfo(f.folder.tableFile()).isFile());
    }

    // Two copies of the game ending games at the same moment each keep
    // their names.
    void twoCopiesAtOnce() {
        Folder f;
        QStringList games = addGames(f, 10);
        auto copy = [&](int from) {
            Records records(f.folder, kAccount);
            for (int i = from; i < 10; i += 2) {
                records.enter(games[i], QStringLiteral("copy %1").arg(i));
            }
        };
        std::thread one(copy, 0);
        std::thread two(copy, 1);
        one.join();
        two.join();
        for (const RecordEntry& e : f.records.bestTen()) {
            QCOMPARE(e.name, QStringLiteral("copy %1").arg(games.indexOf(e.file)));
        }
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
