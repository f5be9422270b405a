// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "headless/stand_in_world.h"
#include "play/form1.h"
#include "tests/support/key_table.h"
#include "tests/support/windows.h"
#include "windows/play_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTest>

#include <algorithm>

// The play screen in its real window: keys, the window-close command, the
// countdown on real timers and the field on screen.
class TestPlayWindow : public QObject {
    Q_OBJECT

    StandInWorld world;
    int handOvers = 0;

    std::unique_ptr<Form1> makeForm(PlayWindowOptions options = {}) {
        auto form =
            std::make_unique<Form1>(world.playEnvironment(QStringLiteral("/opt/game")),
                                    [options](Form1& f) { return new PlayWindow(f, options); });
        form->showScoreScreen = [this] { ++handOvers; };
        return form;
    }

    // What the window shows of the field, inside its border, at its own
    // size or in fullscreen at the view's factor, every pixel.
    static QImage shownField(QWidget* window) {
        if (auto* scaled = window->findChild<ScaledView*>()) {
            const QImage shown = scaled->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const int k = shown.width() / 604;
            return shown.copy(2 * k, 2 * k, 600 * k, 400 * k);
        }
        return window->findChild<QFrame*>(QStringLiteral("MainPic"))
            ->grab(QRect(2, 2, 600, 400))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

  private Q_SLOTS:
    void windowHasItsLayout() {
        auto form = makeForm();
        form->show();
        QWidget* window = visibleWindow(QStringLiteral("Form1"));
        QVERIFY(window != nullptr);
        QCOMPARE(window->size(), QSize(604, 404));
        QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
        auto* field = window->findChild<QFrame*>(QStringLiteral("MainPic"));
        QVERIFY(field != nullptr);
        QCOMPARE(field->contentsRect(), QRect(2, 2, 600, 400));
        auto* banner = field->findChild<QWidget*>(QStringLiteral("UserControl11"));
        QVERIFY(banner != nullptr && banner->isVisible());
        QCOMPARE(banner->pos(), QPoint(226, 170));
        form->unload();
    }

    void keysReachThePlayScreen() {
        auto form = makeForm();
        form->show();
        QWidget* window = visibleWindow(QStringLiteral("Form1"));
        QVERIFY(window != nullptr);
        QTest::keyPress(window, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(form->KeyX, int16_t(2));
        QCOMPARE(form->KeyXOn, int16_t(1));
        // A held key on X11: releases marked as auto-repeat do not let go.
        QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(window, &repeatRelease);
        QCOMPARE(form->KeyXOn, int16_t(1));
        QTest::keyRelease(window, Qt::Key_Right);
        QCOMPARE(form->KeyXOn, int16_t(0));
        QTest::keyPress(window, Qt::Key_Up);
        QCOMPARE(form->KeyY, int16_t(1));
        QTest::keyPress(window, Qt::Key_Escape);
        QCOMPARE(world.dialogs.messages, QStringList{QStringLiteral("終わり")});
        QVERIFY(!form->isLoaded());
        QCOMPARE(form->endCause(), Form1::End::Escape);
        world.dialogs.messages.clear();
    }

    void closeCommandEndsTheGameWithoutMessage() {
        handOvers = 0;
        auto form = makeForm();
        form->show();
        QWidget* window = visibleWindow(QStringLiteral("Form1"));
        QVERIFY(window != nullptr);
        QVERIFY(!window->close()); // the window goes through its screen
        QVERIFY(!form->isLoaded());
        QCOMPARE(form->endCause(), Form1::End::Close);
        QCOMPARE(handOvers, 2);
        QVERIFY(world.dialogs.messages.isEmpty());
        QTRY_VERIFY(visibleWindow(QStringLiteral("Form1")) == nullptr);
    }

    void countdownLeadsToPlayOnRealTimers_data() {
        QTest::addColumn<bool>("fullscreen");
        QTest::newRow("window") << false;
        QTest::newRow("fullscreen") << true;
    }

    void countdownLeadsToPlayOnRealTimers() {
        QFETCH(bool, fullscreen);
        world.sleeper.lengths.clear();
        auto form = makeForm({.fullscreen = fullscreen});
        form->show();
        QWidget* window = visibleWindow(QStringLiteral("Form1"));
        QVERIFY(window != nullptr);
        if (fullscreen) {
            // Room for twice the content's size, after the platform's own resize.
            QVERIFY(QTest::qWaitForWindowExposed(window));
            window->setGeometry(0, 0, 1280, 1024);
            QTRY_COMPARE(window->findChild<ScaledView*>()->width(), 1208);
        }
        QTRY_VERIFY_WITH_TIMEOUT(form->phase() == Form1::Phase::Play, 5000);
        const auto widgets = QApplication::allWidgets();
        QVERIFY(std::none_of(widgets.cbegin(), widgets.cend(), [](const QWidget* widget) {
            return widget->objectName() == u"UserControl11" && widget->isVisible();
        }));
        QCOMPARE(world.sleeper.lengths.size(), 1);
        QTest::keyPress(window, Qt::Key_Down);
        QTRY_VERIFY_WITH_TIMEOUT(form->BoulVY >= 1000, 2000);
        // What the window shows is the field surface the core draws on, in
        // fullscreen after many ticks of changed parts drawn scaled.
        QTest::qWait(50);
        QCOMPARE(shownField(window),
                 form->MainPic.image().scaled(QSize(600, 400) * (fullscreen ? 2 : 1)));
        form->unload();
    }

    // Faster, a watched game runs that many ticks on each of its timer's
    // events, never part of them.
    void speedRunsTicksInBatches() {
        struct Steps : Form1::Tap {
            void loaded(Form1&) override {}
            void stepping(Form1&) override { ++count; }
            void taken(const Form1&, GameEvent::Kind, int16_t) override {}
            void ended(const Form1&) override {}
            int count = 0;
        } steps;
        auto form = makeForm();
        form->tap = &steps;
        form->show();
        auto* window = qobject_cast<PlayWindow*>(visibleWindow(QStringLiteral("Form1")));
        QVERIFY(window != nullptr);
        window->setSpeed(4);
        // The start of play is a step of its own.
        QTRY_VERIFY_WITH_TIMEOUT(steps.count > 1, 5000);
        for (int i = 0; i < 8 && form->inGame(); ++i) {
            QTest::qWait(20);
            QCOMPARE((steps.count - 1) % 4, 0);
        }
        QVERIFY(steps.count > 8);
        form->unload();
    }

    // P stops both timers and shows the pause over the field, whose own
    // pixels stay as they were. Losing the focus pauses too, and a key held
    // then counts as let go once P resumes.
    void pauseHoldsTheWindowStill() {
        auto form = makeForm();
        form->show();
        QWidget* window = visibleWindow(QStringLiteral("Form1"));
        QVERIFY(window != nullptr);
        auto* sign = window->findChild<QWidget*>(QStringLiteral("PauseSign"));
        QVERIFY(sign != nullptr && !sign->isVisible());

        QTest::keyClick(window, Qt::Key_P);
        QVERIFY(form->paused() && sign->isVisible());
        const int32_t countdown = form->Countdown;
        QTest::qWait(2000); // two and a half countdown periods
        QCOMPARE(form->Countdown, countdown);
        QTest::keyClick(window, Qt::Key_Pause);
        QVERIFY(!form->paused() && !sign->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(form->phase() == Form1::Phase::Play, 5000);

        QTest::keyPress(window, Qt::Key_Right);
        QTRY_VERIFY_WITH_TIMEOUT(form->BoulVX >= 1000, 2000);
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(window, &deactivate);
        QVERIFY(form->paused() && sign->isVisible());
        const QImage surface = form->MainPic.image();
        const QPoint shot(form->Shot1X, form->Shot1Y);
        QVERIFY(shownField(window) != surface);
        QTest::qWait(300);
        QCOMPARE(QPoint(form->Shot1X, form->Shot1Y), shot);
        QCOMPARE(form->MainPic.image(), surface);
        QCOMPARE(form->KeyXOn, int16_t(1));

        QTest::keyClick(window, Qt::Key_P);
        QVERIFY(!form->paused() && !sign->isVisible());
        QCOMPARE(form->KeyXOn, int16_t(0));
        QCOMPARE(shownField(window), form->MainPic.image());
        QTRY_VERIFY_WITH_TIMEOUT(QPoint(form->Shot1X, form->Shot1Y) != shot, 2000);
        form->unload();
    }

    // The keys the windows take for the whole program, before any screen
    // sees them, are told in dist/keys.tsv as well.
    void everyProgramKeyIsListed() {
        QStringList taken;
        for (const auto& [first, last] : {std::pair(Qt::Key_Space, Qt::Key_AsciiTilde),
                                          std::pair(Qt::Key_Escape, Qt::Key_F35)}) {
            for (int key = first; key <= last; ++key) {
                const QKeyEvent alone(QEvent::KeyPress, key, Qt::NoModifier);
                const QKeyEvent withAlt(QEvent::KeyPress, key, Qt::AltModifier);
                const bool takesAlt = programKey(alone) == ProgramKey::None &&
                                      programKey(withAlt) != ProgramKey::None;
                if (programKey(alone) != ProgramKey::None || takesAlt) {
                    taken << QKeySequence(
                                 QKeyCombination(takesAlt ? Qt::AltModifier : Qt::NoModifier,
                                                 Qt::Key(key)))
                                 .toString()
                                 .replace(QStringLiteral("Return"), QStringLiteral("Enter"));
                }
            }
        }
        QVERIFY(!taken.isEmpty());
        QVERIFY2(unlisted(taken, QStringLiteral("play")).isEmpty(),
                 qPrintable(unlisted(taken, QStringLiteral("play")).join(QLatin1Char(' '))));
    }
};

QTEST_MAIN(TestPlayWindow)
#include "test_play_window.moc"
