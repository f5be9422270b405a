// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/numbers.h"
#include "platform/random_source.h"

#include <QTest>

// The tune is chosen by re-seeding from the clock and rounding one draw, every
// time; both tunes must come up, about equally often.
class TestRandomSource : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void clockSeededDrawsPickBothTunes() {
        ClockSeededRandom random;
        int ones = 0;
        constexpr int kCalls = 2000;
        for (int i = 0; i < kCalls; ++i) {
            random.reseedFromClock();
            const double r = random.next();
            QVERIFY(r >= 0.0 && r < 1.0);
            ones += cint16(r);
        }
        QVERIFY2(ones > kCalls * 2 / 5 && ones < kCalls * 3 / 5, qPrintable(QString::number(ones)));
    }
};

QTEST_GUILESS_MAIN(TestRandomSource)
#include "test_random_source.moc"
