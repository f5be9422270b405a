// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/key_table.h"
#include "windows/screen_widget.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QTest>

// The keys the windows take for the whole program, before any screen sees
// them, are told in dist/keys.tsv as well.
class TestKeyTable : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void everyProgramKeyIsListed() {
        const auto listed = listedKeys();
        QStringList taken;
        QStringList missing;
        QList<int> keys;
        for (int key = Qt::Key_Space; key <= Qt::Key_AsciiTilde; ++key) {
            keys << key;
        }
        for (int key = Qt::Key_Escape; key <= Qt::Key_F35; ++key) {
            keys << key;
        }
        for (const int key : keys) {
            for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::AltModifier}) {
                const QKeyEvent event(QEvent::KeyPress, key, modifiers);
                const QKeyEvent plain(QEvent::KeyPress, key, Qt::NoModifier);
                if (programKey(event) == ProgramKey::None ||
                    (modifiers != Qt::NoModifier && programKey(plain) != ProgramKey::None)) {
                    continue;
                }
                const QString name =
                    QKeySequence(QKeyCombination(modifiers, Qt::Key(key)))
                        .toString()
                        .replace(QStringLiteral("Return"), QStringLiteral("Enter"));
                taken << name;
                if (!listed.contains({QStringLiteral("any"), name}) &&
                    !listed.contains({QStringLiteral("play"), name})) {
                    missing << name;
                }
            }
        }
        QVERIFY2(!taken.isEmpty(), "no key taken by the program");
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("taken by the windows but not in dist/keys.tsv: ") +
                            missing.join(QLatin1Char(' '))));
    }
};

QTEST_MAIN(TestKeyTable)
#include "test_key_table.moc"
