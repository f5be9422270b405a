// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headless/stand_ins/stand_ins.h"
#include "play/tally.h"
#include "screens/form2.h"
#include "tests/support/stand_ins.h"
#include "tests/support/windows.h"
#include "windows/screen_windows.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace {

const QString kScorePath = QStringLiteral("Rollvane/データ/ハイスコア");
const QString kNamePath = QStringLiteral("Rollvane/データ/名前");

// The worked example: life 2, HitGan 3, kabe 10, Moves 200, HitGan2 4,
// kabe2 5, Time 60, spe 0, GanGan 1.
GameState workedExample() {
    GameState g;
    g.life = 2;
    g.HitGan = 3;
    g.kabe = 10;
    g.Moves = 200;
    g.HitGan2 = 4;
    g.kabe2 = 5;
    g.Time = 60;
    g.spe = 0;
    g.GanGan = 1;
    return g;
}

QString subtotal(int row) {
    return QStringLiteral("Label_") + QString::number(row);
}

// A memory store shared with another copy of the game, which may store a
// record of its own while this one's name prompt is open.
class SharedStore : public MemorySettingsStore {
  public:
    Change write(const QString& application, const QString& section,
                 const std::function<Values(const Values& current)>& change,
                 const Alongside& alongside) override {
        for (auto value = meanwhile.cbegin(); value != meanwhile.cend(); ++value) {
            values.insert(value.key(), value.value());
        }
        return MemorySettingsStore::write(application, section, change, alongside);
    }
    QMap<QString, QString> meanwhile;
};

const QString kTitle = QStringLiteral("Enter キーを押したらトップメニューに戻ります。");

} // namespace

class TestScoreScreen : public QObject {
    Q_OBJECT

    GameState game;
    SharedStore store;
    ScriptedDialogs dialogs;
    int menuShown = 0;

    std::unique_ptr<HighScoreRecord> record;
    std::unique_ptr<Form2> form;

  private Q_SLOTS:
    void init() {
        game = GameState();
        store.values.clear();
        store.rejectWrites = false;
        store.meanwhile.clear();
        dialogs = ScriptedDialogs();
        menuShown = 0;
        record = std::make_unique<HighScoreRecord>(store);
        form = std::make_unique<Form2>(game, *record, dialogs, &scoreWindow);
        form->showTitleMenu = [this] { ++menuShown; };
    }

    void cleanup() {
        form.reset();
        record.reset();
    }

    void layoutCaptionsThePointTable() {
        form->show();
        for (int i = 0; i < kRows; ++i) {
            QCOMPARE(form->caption(Form2::kPointLabels[i]), kPointCaptions[i]);
        }
    }

    void programStartShowsZerosAndLeavesTheRecordAlone_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("a score") << "700";
        // Hand-edited: no score to beat, and a total of 0 beats nothing.
        QTest::newRow("not a number") << "garbage";
        QTest::newRow("negative") << "-5";
    }

    void programStartShowsZerosAndLeavesTheRecordAlone() {
        QFETCH(QString, stored);
        store.values.insert(kScorePath, stored);
        store.values.insert(kNamePath, QStringLiteral("Kit"));
        form->show();
        QVERIFY(form->isShown());
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(form->caption(Form2::kCountLabels[i]), QStringLiteral("0"));
            // Rows 1 and 2 are a zero count times a negative value: "0", not "-0".
            QCOMPARE(form->caption(subtotal(i)), QStringLiteral("0"));
        }
        QCOMPARE(form->caption(QStringLiteral("total")), QStringLiteral("0"));
        QVERIFY(dialogs.prompts.isEmpty());
        QCOMPARE(store.values.value(kScorePath), stored);
        QCOMPARE(store.values.value(kNamePath), QStringLiteral("Kit"));
    }

    void workedExampleTalliesAndStoresANewHighScore() {
        game = workedExample();
        dialogs.answers << QStringLiteral("Ann");
        form->show();
        const QStringList counts = {"2", "3", "10", "200", "4", "5", "60", "0", "1"};
        const QStringList subtotals = {"10000", "-900",  "-3000", "10000", "2000",
                                       "2500",  "18000", "0",     "5000"};
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(form->caption(Form2::kCountLabels[i]), counts[i]);
            QCOMPARE(form->caption(subtotal(i)), subtotals[i]);
        }
        QCOMPARE(form->caption(QStringLiteral("total")), QStringLiteral("43600"));

        // The prompt, its title and its default, exactly; the carriage
        // return breaks the prompt's line.
        QCOMPARE(dialogs.prompts,
                 QStringList(QStringLiteral("ハイスコアです。あなたの名前をで教えてください\r"
                                            "アルファベットと数字以外は使わないでください|"
                                            "すごーい|Name")));
        QCOMPARE(form->Highname, QStringLiteral("Ann"));
        QCOMPARE(store.values.value(kNamePath), QStringLiteral("Ann"));
        QCOMPARE(store.values.value(kScorePath), QStringLiteral("43600"));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void onlyAHigherTotalIsAHighScore_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("asks");
        QTest::newRow("equal") << "43600" << false;
        QTest::newRow("one point lower") << "43599" << true;
        QTest::newRow("higher") << "50000" << false;
        // Hand-edited records count as no score; they never stop the game.
        QTest::newRow("not a number") << "abc" << true;
        QTest::newRow("negative") << "-5" << true;
        QTest::newRow("beyond 32 bits") << "99999999999" << true;
        QTest::newRow("blank before a higher score") << " 50000" << false;
    }

    void onlyAHigherTotalIsAHighScore() {
        QFETCH(QString, stored);
        QFETCH(bool, asks);
        game = workedExample();
        store.values.insert(kScorePath, stored);
        store.values.insert(kNamePath, QStringLiteral("Kit"));
        dialogs.answers << QStringLiteral("Ann");
        form->show();
        QCOMPARE(dialogs.prompts.size(), asks ? 1 : 0);
        QCOMPARE(store.values.value(kScorePath), asks ? QStringLiteral("43600") : stored);
        QCOMPARE(store.values.value(kNamePath),
                 asks ? QStringLiteral("Ann") : QStringLiteral("Kit"));
    }

    void negativeTotalNeverAsks() {
        game.kabe = 50; // -15000, no lives left
        form->show();
        QCOMPARE(form->caption(QStringLiteral("total")), QStringLiteral("-15000"));
        QVERIFY(dialogs.prompts.isEmpty());
        QVERIFY(store.values.isEmpty());
    }

    void cancelStoresAnEmptyNameWithTheScore() {
        game.life = 1; // 5000
        form->show();  // no scripted answer: Cancel
        QCOMPARE(dialogs.prompts.size(), 1);
        QVERIFY(store.values.contains(kNamePath));
        QCOMPARE(store.values.value(kNamePath), QString());
        QCOMPARE(store.values.value(kScorePath), QStringLiteral("5000"));
    }

    // A refused save is told; a higher record stored by another copy of the
    // game while the name was typed stands, and nothing is said. The screen
    // shows this game's total either way, and only a record really replaced
    // keeps this game as the record's game.
    void saveAgainstTheStoreAsItIsThen_data() {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("meanwhile"); // the other copy's score, or none
        QTest::addColumn<bool>("told");
        QTest::addColumn<QString>("kept"); // score|name
        QTest::addColumn<bool>("recordGame");
        QTest::newRow("refused") << true << QString() << true << "100|Kit" << false;
        QTest::newRow("beaten meanwhile") << false << "6000" << false << "6000|Bo" << false;
        QTest::newRow("lower one meanwhile") << false << "4000" << false << "5000|Ann" << true;
    }

    void saveAgainstTheStoreAsItIsThen() {
        QFETCH(bool, refused);
        QFETCH(QString, meanwhile);
        QFETCH(bool, told);
        QFETCH(QString, kept);
        QFETCH(bool, recordGame);
        int recordGames = 0;
        record->game.replaced = [&recordGames] { ++recordGames; };
        store.values.insert(kScorePath, QStringLiteral("100"));
        store.values.insert(kNamePath, QStringLiteral("Kit"));
        if (!meanwhile.isNull()) {
            store.meanwhile = {{kScorePath, meanwhile}, {kNamePath, QStringLiteral("Bo")}};
        }
        store.rejectWrites = refused;
        game.life = 1; // 5000
        dialogs.answers << QStringLiteral("Ann");
        form->show();
        QVERIFY(form->isShown());
        QCOMPARE(form->caption(QStringLiteral("total")), QStringLiteral("5000"));
        QCOMPARE(dialogs.messages, told ? QStringList(Form2::kNotSavedMessage) : QStringList());
        QVERIFY(Form2::kNotSavedMessage.contains(QStringLiteral("ハイスコア")));
        QCOMPARE(store.values.value(kScorePath) + QChar('|') + store.values.value(kNamePath), kept);
        QCOMPARE(recordGames, recordGame ? 1 : 0);
        record->game.replaced = nullptr;
    }

    // The play screen's closing handlers show the score screen twice; the
    // second showing only brings it forward.
    void secondShowDoesNotTallyAgain() {
        game.life = 1;
        dialogs.answers << QStringLiteral("Ann");
        form->show();
        form->show();
        QCOMPARE(dialogs.prompts.size(), 1);
    }

    void onlyEnterOrClosingLeavesForTheMenu() {
        form->show();
        QWidget* window = visibleWindow(kTitle);
        QVERIFY(window != nullptr);
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right,
                            Qt::Key_Space, Qt::Key_A}) {
            QTest::keyClick(window, key);
        }
        QVERIFY(form->isShown());
        QCOMPARE(menuShown, 0);

        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(menuShown, 1);
        QVERIFY(!form->isLoaded());

        // The window-close command does the same as Enter.
        form->show();
        window = visibleWindow(kTitle);
        QVERIFY(window != nullptr);
        window->close();
        QCOMPARE(menuShown, 2);
        QVERIFY(!form->isLoaded());
    }
};

QTEST_MAIN(TestScoreScreen)
#include "test_score_screen.moc"
