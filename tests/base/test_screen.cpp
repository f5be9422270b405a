// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/screen.h"

#include <QStringList>
#include <QTest>

#include <utility>

namespace {

// A window that only writes down what is done to it.
class RecordingWindow final : public ScreenWindow {
  public:
    explicit RecordingWindow(QStringList& log) : m_log(log) { ++live; }
    void display() override {
        m_displayed = true;
        m_log << QStringLiteral("display");
    }
    void conceal() override {
        m_displayed = false;
        m_log << QStringLiteral("conceal");
    }
    void dispose() override {
        m_log << QStringLiteral("dispose");
        --live;
        delete this;
    }
    bool isDisplayed() const override { return m_displayed; }
    static inline int live = 0;

  private:
    QStringList& m_log;
    bool m_displayed = false;
};

// The log comes first so that it outlives the screen's own clean-up.
struct Log {
    QStringList log;
    QStringList taken() { return std::exchange(log, {}); }
};

class TestScreenObject : public Log, public Screen {
  public:
    TestScreenObject() {
        unloaded = [this] { log << QStringLiteral("unloaded"); };
    }
    int Highscore = 0; // a public variable, as the score screen has
    bool unloadWhileClosing = false;

  protected:
    ScreenWindow* createWindow() override {
        log << QStringLiteral("create");
        return new RecordingWindow(log);
    }
    void Form_Load() override {
        log << QStringLiteral("load");
        Highscore += 100;
    }
    void Form_QueryUnload() override {
        log << QStringLiteral("query-unload");
        if (unloadWhileClosing) {
            unload();
        }
    }
    void Form_Unload() override { log << QStringLiteral("unload"); }
};

const QStringList kLoad{"create", "load", "display"};
const QStringList kUnload{"query-unload", "unload", "dispose", "unloaded"};

} // namespace

class TestScreen : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void cleanup();
    void showLoadsOnceAndHideKeepsLoaded();
    void unloadClosesOnceAndKeepsTheVariables_data();
    void unloadClosesOnceAndKeepsTheVariables();
};

// Every test's screens are gone by now, and with them every window, also
// those still loaded when their screen object went away.
void TestScreen::cleanup() {
    QCOMPARE(RecordingWindow::live, 0);
}

void TestScreen::showLoadsOnceAndHideKeepsLoaded() {
    TestScreenObject screen;
    screen.hide(); // not loaded: nothing to hide, nothing gets loaded
    QVERIFY(screen.log.isEmpty());
    screen.show();
    QCOMPARE(screen.taken(), kLoad);
    QVERIFY(screen.isShown());
    screen.show();
    QCOMPARE(screen.taken(), QStringList{"display"});
    screen.hide();
    QCOMPARE(screen.taken(), QStringList{"conceal"});
    QVERIFY(screen.isLoaded());
    QVERIFY(!screen.isShown());
    screen.show();
    QCOMPARE(screen.taken(), QStringList{"display"});
    QCOMPARE(screen.Highscore, 100);
}

void TestScreen::unloadClosesOnceAndKeepsTheVariables_data() {
    QTest::addColumn<bool>("byCloseCommand");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("unloadWhileClosing");
    QTest::newRow("shown") << false << false << false;
    QTest::newRow("hidden") << false << true << false;
    QTest::newRow("by the window-close command") << true << false << false;
    QTest::newRow("unloaded again from a closing handler") << false << false << true;
}

void TestScreen::unloadClosesOnceAndKeepsTheVariables() {
    QFETCH(bool, byCloseCommand);
    QFETCH(bool, hidden);
    QFETCH(bool, unloadWhileClosing);

    TestScreenObject screen;
    screen.unload(); // never loaded: nothing happens
    QVERIFY(screen.log.isEmpty());
    screen.unloadWhileClosing = unloadWhileClosing;
    screen.show();
    if (hidden) {
        screen.hide();
    }
    screen.Highscore = 4321;
    screen.taken();

    byCloseCommand ? screen.closeCommand() : screen.unload();
    QCOMPARE(screen.taken(), kUnload);
    QVERIFY(!screen.isLoaded());
    QVERIFY(!screen.isShown());
    screen.unload();
    QVERIFY(screen.log.isEmpty());

    // Reading a variable does not load the screen; the next showing builds a
    // fresh window and runs the load handler again.
    QCOMPARE(screen.Highscore, 4321);
    QVERIFY(!screen.isLoaded());
    screen.show();
    QCOMPARE(screen.taken(), kLoad);
    QCOMPARE(screen.Highscore, 4421);
}

QTEST_GUILESS_MAIN(TestScreen)
#include "test_screen.moc"
