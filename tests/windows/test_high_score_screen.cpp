// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/form4.h"
#include "tests/support/stand_ins.h"
#include "tests/support/windows.h"
#include "windows/screen_windows.h"

#include <QApplication>
#include <QTest>

namespace {
const QString kScorePath = QStringLiteral("Rollvane/データ/ハイスコア");
const QString kNamePath = QStringLiteral("Rollvane/データ/名前");

} // namespace

class TestHighScoreScreen : public QObject {
    Q_OBJECT

    MemorySettingsStore store;
    std::unique_ptr<HighScoreRecord> record;
    std::unique_ptr<Form4> form;
    int menuShown = 0;

  private Q_SLOTS:
    void init() {
        store.values.clear();
        menuShown = 0;
        record = std::make_unique<HighScoreRecord>(store);
        form = std::make_unique<Form4>(*record, &highScoreWindow);
        form->showTitleMenu = [this] { ++menuShown; };
    }

    void cleanup() {
        form.reset();
        record.reset();
    }

    void showsTheRecordAsStored_data() {
        QTest::addColumn<bool>("hasName");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("hasScore");
        QTest::addColumn<QString>("score");
        QTest::addColumn<QString>("shownName");
        QTest::addColumn<QString>("shownScore");
        QTest::newRow("no record") << false << "" << false << ""
                                   << "Tovik"
                                   << "0";
        QTest::newRow("empty name") << true << "" << true << "4000"
                                    << ""
                                    << "4000";
        QTest::newRow("hand-edited score") << true << "Kit" << true << " 12abc"
                                           << "Kit"
                                           << " 12abc";
        QTest::newRow("awkward name") << true << "a=b;#[x]\n\"山田\"" << true << "43600"
                                      << "a=b;#[x]\n\"山田\""
                                      << "43600";
    }

    void showsTheRecordAsStored() {
        QFETCH(bool, hasName);
        QFETCH(QString, name);
        QFETCH(bool, hasScore);
        QFETCH(QString, score);
        QFETCH(QString, shownName);
        QFETCH(QString, shownScore);
        if (hasName) {
            store.values.insert(kNamePath, name);
        }
        if (hasScore) {
            store.values.insert(kScorePath, score);
        }
        form->show();
        QCOMPARE(form->caption(QStringLiteral("n")), shownName);
        QCOMPARE(form->caption(QStringLiteral("hs")), shownScore);
    }

    void onlyEnterOrClosingLeavesForTheMenu() {
        form->show();
        QWidget* window = visibleWindow(QStringLiteral("Form4"));
        QVERIFY(window != nullptr);
        QCOMPARE(window->size(), QSize(865, 184));
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Up, Qt::Key_Down, Qt::Key_Space}) {
            QTest::keyClick(window, key);
        }
        QVERIFY(form->isShown());
        QCOMPARE(menuShown, 0);
        QTest::keyClick(window, Qt::Key_Enter); // the keypad's Enter too
        QCOMPARE(menuShown, 1);
        QVERIFY(!form->isLoaded());

        form->show();
        visibleWindow(QStringLiteral("Form4"))->close();
        QCOMPARE(menuShown, 2);
        QVERIFY(!form->isLoaded());
    }
};

QTEST_MAIN(TestHighScoreScreen)
#include "test_high_score_screen.moc"
