// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headless/stand_ins/stand_ins.h"
#include "screens/form3.h"
#include "tests/support/stand_ins.h"
#include "tests/support/windows.h"
#include "windows/layout_window.h"
#include "windows/screen_windows.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

namespace {

const QString kWebSite = QStringLiteral("file:///usr/share/spinmarsh/site/index.html");

// A screen that only notes what happens to it.
class StubScreen : public Screen {
  public:
    StubScreen(QString name, QStringList& log) : m_name(std::move(name)), m_log(log) {}

  protected:
    ScreenWindow* createWindow() override { return new HeadlessWindow; }
    void Form_Load() override { m_log << QStringLiteral("load ") + m_name; }
    void Form_Unload() override { m_log << QStringLiteral("unload ") + m_name; }

  private:
    QString m_name;
    QStringList& m_log;
};

} // namespace

class TestTitleMenu : public QObject {
    Q_OBJECT

    QStringList log;
    RecordingShell shell;
    std::unique_ptr<StubScreen> play, score, highScore;
    std::unique_ptr<Form3> menu;
    int ended = 0;

    void press(int16_t key) { menu->Form_KeyDown(key, 0); }

    // The item words shown, as a string of 1 (shown) and 0 (hidden).
    QString shown() const {
        QString s;
        for (int item = 1; item <= 4; ++item) {
            s += menu->isItemVisible(item) ? QChar('1') : QChar('0');
        }
        return s;
    }

  private Q_SLOTS:
    void init() {
        log.clear();
        shell.opened.clear();
        ended = 0;
        play = std::make_unique<StubScreen>(QStringLiteral("play"), log);
        score = std::make_unique<StubScreen>(QStringLiteral("score"), log);
        highScore = std::make_unique<StubScreen>(QStringLiteral("highScore"), log);
        menu = std::make_unique<Form3>(shell, &menuWindow);
        menu->webSite = kWebSite;
        menu->links = Form3::Links{play.get(), score.get(), highScore.get(), [this] {
                                       log << QStringLiteral("end");
                                       ++ended;
                                   }};
        menu->unloaded = [this] { log << QStringLiteral("unload menu"); };
        menu->show();
    }

    void cleanup() {
        menu.reset();
        play.reset();
        score.reset();
        highScore.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void loadsShowingStartOnly() {
        QCOMPARE(menu->menuPos(), 1);
        QCOMPARE(shown(), QStringLiteral("1000"));
        QWidget* window = visibleWindow(QStringLiteral("Form3"));
        QVERIFY(window != nullptr);
        QCOMPARE(window->size(), QSize(843, 275));
        QCOMPARE(labelCaption(*window, QStringLiteral("Label3")), QStringLiteral("High score"));
    }

    void upAndDownGoRoundTheRing() {
        press(38);
        QCOMPARE(menu->menuPos(), 4);
        QCOMPARE(shown(), QStringLiteral("0001"));
        press(40);
        QCOMPARE(shown(), QStringLiteral("1000"));
        press(40);
        QCOMPARE(menu->menuPos(), 2);
        QCOMPARE(shown(), QStringLiteral("0100"));
        press(40);
        QCOMPARE(shown(), QStringLiteral("0010"));
        for (int i = 0; i < 4; ++i) {
            press(40);
        }
        QCOMPARE(menu->menuPos(), 3);
        QCOMPARE(shown(), QStringLiteral("0010"));
        for (int16_t other : {int16_t(37), int16_t(39), int16_t(27), int16_t('A'), int16_t(32)}) {
            press(other);
        }
        QCOMPARE(menu->menuPos(), 3);
        QCOMPARE(shown(), QStringLiteral("0010"));
        QVERIFY(log.isEmpty());
    }

    void startShowsThePlayScreenAndHidesTheMenu() {
        press(13);
        QCOMPARE(log, QStringList(QStringLiteral("load play")));
        QVERIFY(play->isShown());
        QVERIFY(menu->isLoaded());
        QVERIFY(!menu->isShown());
        QCOMPARE(menu->menuPos(), 1);
        // Shown again, it comes back as it was.
        menu->show();
        QCOMPARE(shown(), QStringLiteral("1000"));
    }

    void highScoreShowsItsScreenAndKeepsTheItem() {
        press(40);
        press(40);
        press(13);
        QCOMPARE(log, QStringList(QStringLiteral("load highScore")));
        QVERIFY(highScore->isShown());
        QVERIFY(!menu->isShown());
        menu->show();
        QCOMPARE(menu->menuPos(), 3);
        QCOMPARE(shown(), QStringLiteral("0010"));
    }

    void quitUnloadsEveryScreenInOrderThenEnds() {
        play->show();
        score->show();
        highScore->show();
        log.clear();
        press(40);
        press(13);
        QCOMPARE(log, QStringList({"unload play", "unload score", "unload menu", "unload highScore",
                                   "end"}));
        QCOMPARE(ended, 1);
        QVERIFY(!menu->isLoaded());
        QVERIFY(!play->isLoaded() && !score->isLoaded() && !highScore->isLoaded());
    }

    void webSiteOpensOursAndTheMenuStays() {
        press(38);
        press(13);
        QCOMPARE(shell.opened, QStringList(kWebSite));
        QVERIFY(menu->isShown());
        QCOMPARE(menu->menuPos(), 4);
        QCOMPARE(shown(), QStringLiteral("0001"));
        QVERIFY(log.isEmpty());
    }

    void clickingTheWordShownRunsIt() {
        QWidget* window = visibleWindow(QStringLiteral("Form3"));
        QVERIFY(window != nullptr);
        press(38); // the web site
        auto* label4 = window->findChild<QLabel*>(QStringLiteral("Label4"));
        QTest::mouseClick(label4, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(shell.opened.size(), 1);

        // A click lands on whatever is under the pointer; hidden words are
        // never there. Left of "Start" only the hidden wider words lie.
        press(40); // back to Start
        QWidget* under = window->childAt(150, 200);
        QVERIFY(under == nullptr || qobject_cast<QLabel*>(under) == nullptr);
        auto* label1 = window->findChild<QLabel*>(QStringLiteral("Label1"));
        QCOMPARE(window->childAt(label1->geometry().center()), label1);
        QTest::mouseClick(label1, Qt::LeftButton, {}, QPoint(30, 40));
        QVERIFY(play->isShown());
        QVERIFY(!menu->isShown());
    }
};

QTEST_MAIN(TestTitleMenu)
#include "test_title_menu.moc"
