// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/tick_pacer.h"

#include <QTest>

// The pacer is fed made-up clock readings: a timer that fires exactly when
// asked, late, or after a long stall.
class TestTickPacer : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void averagePeriodIsExact_data();
    void averagePeriodIsExact();
    void lateTickMergesTheMissedOnes();
};

void TestTickPacer::averagePeriodIsExact_data() {
    QTest::addColumn<int>("lateness"); // ms the timer adds on every other tick
    QTest::newRow("punctual timer") << 0;
    QTest::newRow("timer one ms late every other tick") << 1;
    QTest::newRow("timer three ms late every other tick") << 3;
}

void TestTickPacer::averagePeriodIsExact() {
    QFETCH(int, lateness);
    TickPacer pacer(15.625);
    double now = 1000.0;
    pacer.start(now);
    int wait = pacer.next(now);
    QCOMPARE(wait, 16);
    const int ticks = 64 * 100;
    for (int n = 1; n <= ticks; ++n) {
        now += wait + (n % 2 == 0 ? lateness : 0);
        wait = pacer.next(now);
        QVERIFY2(wait >= 15 - lateness && wait <= 16, qPrintable(QString::number(wait)));
    }
    // 100 seconds of ticks at 64 per second, give or take the last timer's
    // rounding and lateness.
    const double elapsed = now - 1000.0;
    QVERIFY2(elapsed >= 100000.0 - 1.0 && elapsed <= 100000.0 + lateness + 1.0,
             qPrintable(QString::number(elapsed)));
}

void TestTickPacer::lateTickMergesTheMissedOnes() {
    TickPacer pacer(15.625);
    pacer.start(0.0);
    QCOMPARE(pacer.next(0.0), 16);
    QCOMPARE(pacer.next(16.0), 15); // the next one is due at 31.25

    // The tick due at 31.25 only comes at 100: the ones due at 46.875, 62.5,
    // 78.125 and 93.75 are gone, and the next is the grid's 109.375, not now.
    QCOMPARE(pacer.next(100.0), 9);

    // From there on the grid goes on as if nothing had happened.
    double now = 109.0;
    int ticks = 0;
    while (now < 1109.0) {
        const int wait = pacer.next(now);
        QVERIFY(wait >= 15);
        now += wait;
        ++ticks;
    }
    QCOMPARE(ticks, 64);
}

QTEST_GUILESS_MAIN(TestTickPacer)
#include "test_tick_pacer.moc"
