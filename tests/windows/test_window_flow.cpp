// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/screen_rig.h"
#include "tests/support/windows.h"
#include "windows/qt_dialogs.h"
#include "windows/screen_windows.h"

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

// The flow of screens in their real windows, with the real dialogs.

namespace {

const QString kScoreTitle = QStringLiteral("Enter キーを押したらトップメニューに戻ります。");

void key(const QString& windowTitle, Qt::Key k) {
    QWidget* window = visibleWindow(windowTitle);
    QVERIFY2(window != nullptr, qPrintable(windowTitle + QStringLiteral(" is not on the screen")));
    QTest::keyClick(window, k);
    // Windows let go by their screens go away once back in the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A game from the menu's Start to the end message, ended with Escape.
void playAGame(ScreenRig& rig) {
    rig.playAGame([&] { key(QStringLiteral("Form3"), Qt::Key_Return); },
                  [&] { key(QStringLiteral("Form1"), Qt::Key_Escape); });
}

} // namespace

class TestWindowFlow : public QObject {
    Q_OBJECT

    const QByteArray m_configHome = qgetenv("XDG_CONFIG_HOME");

  private Q_SLOTS:
    void init() {
        qputenv("XDG_CONFIG_HOME", m_configHome);
        QFile::remove(settingsFile());
    }

    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // The window-close command never leaves the program without a window.
    void closingAnyWindowLeadsOn() {
        ScriptedDialogs dialogs;
        ScreenRig rig(dialogs, windowViews());
        rig.set.start();
        visibleWindow(kScoreTitle)->close();
        QVERIFY(rig.set.form3().isShown());
        QVERIFY(!rig.set.form2().isLoaded());

        key(QStringLiteral("Form3"), Qt::Key_Up);
        key(QStringLiteral("Form3"), Qt::Key_Up);
        key(QStringLiteral("Form3"), Qt::Key_Return);
        visibleWindow(QStringLiteral("Form4"))->close();
        QVERIFY(rig.set.form3().isShown());
        QVERIFY(!rig.set.form4().isLoaded());

        QCOMPARE(rig.ended, 0);
    }

    // The real message box and input dialog, answered as a player would.
    void realDialogsAnsweredByThePlayer() {
        const QString name = QStringLiteral("山田 = [x]; #\"q\"");
        QStringList seen;
        QTimer player;
        player.setInterval(10);
        connect(&player, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                seen << QStringLiteral("message ") + box->windowTitle() + QChar('|') + box->text();
                box->accept();
            } else if (auto* input = qobject_cast<QInputDialog*>(modal)) {
                seen << QStringLiteral("input ") + input->windowTitle() + QChar('|') +
                            input->labelText() + QChar('|') + input->textValue();
                input->setTextValue(name);
                input->accept();
            }
        });
        player.start();

        QtDialogs dialogs;
        ScreenRig rig(dialogs, windowViews());
        rig.set.start();
        key(kScoreTitle, Qt::Key_Return);
        playAGame(rig);
        player.stop();

        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], QStringLiteral("message Spinmarsh|終わり"));
        QCOMPARE(seen[1],
                 QStringLiteral("input すごーい|ハイスコアです。あなたの名前をで教えてください\n"
                                "アルファベットと数字以外は使わないでください|Name"));
        QVERIFY(visibleWindow(kScoreTitle) != nullptr);

        QSettingsStore fresh;
        QCOMPARE(HighScoreRecord(fresh).name(), name);
        key(kScoreTitle, Qt::Key_Return);
        key(QStringLiteral("Form3"), Qt::Key_Down);
        key(QStringLiteral("Form3"), Qt::Key_Down);
        key(QStringLiteral("Form3"), Qt::Key_Return);
        QCOMPARE(rig.set.form4().caption(QStringLiteral("n")), name);
    }
};

QTEST_MAIN(TestWindowFlow)
#include "test_window_flow.moc"
