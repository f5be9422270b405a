// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/numbers.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <cstdlib>
#include <limits>

namespace {

// In the child copy of this program, runs one operation that the checked
// arithmetic must refuse; it should never get to the last exit.
void runChildOperation(const QByteArray& op) {
    constexpr int32_t max = std::numeric_limits<int32_t>::max();
    constexpr int32_t min = std::numeric_limits<int32_t>::min();
    volatile int32_t sink = 0;
    if (op == "add") {
        sink = add(max, 1);
    } else if (op == "sub") {
        sink = sub(min, 1);
    } else if (op == "mul") {
        sink = mul(65536, 32768);
    } else if (op == "neg") {
        sink = neg(min);
    } else if (op == "cint") {
        sink = cint(2147483647.5);
    } else if (op == "cint16") {
        sink = cint16(32767.5);
    } else if (op == "in range") {
        // The extremes themselves are fine.
        const bool ok = add(max - 1, 1) == max && sub(min + 1, 1) == min && neg(max) == -max &&
                        mul(-65536, 32768) == min && cint(-2147483648.4) == min &&
                        cint16(-32768.4) == -32768;
        std::exit(ok ? 0 : 1);
    }
    std::exit(sink == 0 ? 2 : 3);
}

const char* const kChildVariable = "SPINMARSH_NUMBERS_CHILD";

} // namespace

class TestNumbers : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase();
    void roundsHalvesToEven_data();
    void roundsHalvesToEven();
    void overflowStopsTheProgram_data();
    void overflowStopsTheProgram();
};

void TestNumbers::initTestCase() {
    const QByteArray op = qgetenv(kChildVariable);
    if (!op.isEmpty()) {
        runChildOperation(op);
    }
}

void TestNumbers::roundsHalvesToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("316.5") << 316.5 << 316;
    QTest::newRow("317.5") << 317.5 << 318;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("-3.5") << -3.5 << -4;
    QTest::newRow("97.5") << 97.5 << 98;
    QTest::newRow("102.5") << 102.5 << 102;
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("0.51") << 0.51 << 1;
    QTest::newRow("119.49") << 119.49 << 119;
    QTest::newRow("-0.4") << -0.4 << 0;
}

void TestNumbers::roundsHalvesToEven() {
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(cint(value), expected);
    QCOMPARE(int(cint16(value)), expected);
}

void TestNumbers::overflowStopsTheProgram_data() {
    QTest::addColumn<QByteArray>("op");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("add") << QByteArray("add") << 70;
    QTest::newRow("sub") << QByteArray("sub") << 70;
    QTest::newRow("mul") << QByteArray("mul") << 70;
    QTest::newRow("neg") << QByteArray("neg") << 70;
    QTest::newRow("cint") << QByteArray("cint") << 70;
    QTest::newRow("cint16") << QByteArray("cint16") << 70;
    QTest::newRow("in range") << QByteArray("in range") << 0;
}

void TestNumbers::overflowStopsTheProgram() {
    QFETCH(QByteArray, op);
    QFETCH(int, exitCode);

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), QString::fromLatin1(op));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), exitCode);
    const QByteArray message = child.readAllStandardError();
    QCOMPARE(message.contains("Spinmarsh: run-time error: overflow"), exitCode == 70);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
