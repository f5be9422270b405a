// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QMetaMethod>
#include <QObject>
#include <QStringList>
#include <QTest>

// Runs the test's functions, or only its part of them when CTest splits a
// long program into parts that run side by side: SPINMARSH_TEST_PART=k/n
// runs every n-th test function from the k-th on, in their order. Functions
// named on the command line run as usual.
inline int execPart(QObject& test, int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const QByteArrayList part = qgetenv("SPINMARSH_TEST_PART").split('/');
    if (part.size() != 2 || argc > 1) {
        return QTest::qExec(&test, arguments);
    }
    const int k = part[0].toInt();
    const int n = part[1].toInt();
    const QMetaObject* meta = test.metaObject();
    int index = 0;
    for (int m = meta->methodOffset(); m < meta->methodCount(); ++m) {
        const QMetaMethod method = meta->method(m);
        const QByteArray name = method.name();
        const bool fixture = name.endsWith("_data") || name == "initTestCase" ||
                             name == "cleanupTestCase" || name == "init" || name == "cleanup";
        if (method.methodType() != QMetaMethod::Slot || method.access() != QMetaMethod::Private ||
            fixture) {
            continue;
        }
        if (index++ % n == k - 1) {
            arguments << QString::fromLatin1(name);
        }
    }
    // A part with no function left would otherwise run them all.
    return arguments.size() > 1 ? QTest::qExec(&test, arguments) : 0;
}
