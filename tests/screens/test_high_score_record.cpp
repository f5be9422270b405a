// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/storage/qsettings_store.h"
#include "screens/high_score_record.h"
#include "tests/support/stand_ins.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

namespace {

const QString kScorePath = QStringLiteral("Rollvane/データ/ハイスコア");
const QString kNamePath = QStringLiteral("Rollvane/データ/名前");

} // namespace

class TestHighScoreRecord : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void readersDefaultsStandInForAMissingRecord() {
        MemorySettingsStore store;
        HighScoreRecord record(store);
        QCOMPARE(record.scoreText(), QStringLiteral("0"));
        QCOMPARE(record.name(), QStringLiteral("Tovik"));
        QCOMPARE(record.score(), 0);

        // An empty name is a stored name, not a missing one.
        store.values.insert(kNamePath, QString(""));
        QCOMPARE(record.name(), QString(""));
    }

    void scoreToBeat_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("score");
        QTest::newRow("as the game stores it") << "43600" << 43600;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("blanks around") << " 12 " << 12;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("negative") << "-5" << 0;
        QTest::newRow("beyond 32 bits") << "99999999999" << 0;
        QTest::newRow("fraction") << "12.5" << 0;
    }

    // A hand-edited record must never stop the game: whatever is not a
    // positive whole number counts as no score.
    void scoreToBeat() {
        QFETCH(QString, stored);
        QFETCH(int, score);
        MemorySettingsStore store;
        store.values.insert(kScorePath, stored);
        HighScoreRecord record(store);
        QCOMPARE(record.score(), score);
        QCOMPARE(record.scoreText(), stored); // shown as it is
    }

    // Name and score go together, and only over a lower score as the store
    // holds it at the moment of the save.
    void savesOnlyOverALowerScore_data() {
        QTest::addColumn<QString>("stored"); // null: no record
        QTest::addColumn<bool>("refused");
        QTest::addColumn<SettingsStore::Change>("outcome");
        QTest::newRow("no record") << QString() << false << SettingsStore::Change::Stored;
        QTest::newRow("lower") << "899" << false << SettingsStore::Change::Stored;
        QTest::newRow("hand-edited") << "abc" << false << SettingsStore::Change::Stored;
        QTest::newRow("equal") << "900" << false << SettingsStore::Change::Declined;
        QTest::newRow("higher") << "901" << false << SettingsStore::Change::Declined;
        QTest::newRow("refused") << "500" << true << SettingsStore::Change::Failed;
    }

    void savesOnlyOverALowerScore() {
        QFETCH(QString, stored);
        QFETCH(bool, refused);
        QFETCH(SettingsStore::Change, outcome);
        MemorySettingsStore store;
        if (!stored.isNull()) {
            store.values.insert(kNamePath, QStringLiteral("Old"));
            store.values.insert(kScorePath, stored);
        }
        const auto before = store.values;
        store.rejectWrites = refused;
        HighScoreRecord record(store);
        QCOMPARE(record.saveIfHigher(QStringLiteral("New"), 900), outcome);
        if (outcome == SettingsStore::Change::Stored) {
            QCOMPARE(record.name(), QStringLiteral("New"));
            QCOMPARE(record.scoreText(), QStringLiteral("900"));
        } else {
            QCOMPARE(store.values, before);
        }
    }

    // The real per-user file: where it lies, and that any name comes back
    // exactly, from a fresh reader, without spoiling the score beside it.
    void realStoreRoundTripsAwkwardNames_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("equals and semicolon") << "a=b;c";
        QTest::newRow("hash and brackets") << "#[データ]";
        QTest::newRow("quotes") << "\"quoted\" 'single'";
        QTest::newRow("blanks around") << "  spaced  ";
        QTest::newRow("line feed") << "line1\nline2";
        QTest::newRow("carriage return") << "一行目\r\n二行目";
        QTest::newRow("backslashes") << "C:\\games\\";
        QTest::newRow("japanese") << "山田 太郎";
        QTest::newRow("accents and cyrillic") << "Zoë Ğüneş Жук";
    }

    void realStoreRoundTripsAwkwardNames() {
        QFETCH(QString, name);
        const QString folder = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
        QVERIFY2(!folder.isEmpty(), "the tests run with their own XDG_CONFIG_HOME");
        const QString file = folder + QStringLiteral("/Rollvane.ini");
        QFile::remove(file);

        QSettingsStore store;
        HighScoreRecord record(store);
        QCOMPARE(record.saveIfHigher(name, 43600), SettingsStore::Change::Stored);
        QVERIFY(QFile::exists(file));

        QSettingsStore fresh;
        HighScoreRecord reread(fresh);
        QCOMPARE(reread.name(), name);
        QCOMPARE(reread.scoreText(), QStringLiteral("43600"));
        QCOMPARE(reread.score(), 43600);

        // The Japanese section and keys are written escaped, so the file
        // stays plain ASCII where INI readers are strict.
        QFile raw(file);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray text = raw.readAll();
        QVERIFY2(text.contains("[%U30C7%U30FC%U30BF]"), text.constData());
    }
};

QTEST_GUILESS_MAIN(TestHighScoreRecord)
#include "test_high_score_record.moc"
