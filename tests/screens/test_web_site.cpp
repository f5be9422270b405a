// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/shell.h"
#include "tests/support/screen_rig.h"
#include "tests/support/xvfb_server.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdlib>

// Opening an address goes through the desktop's default handler, which the
// offscreen platform does not have. This test brings its own X display and
// puts a stand-in for xdg-open first on the PATH that notes what it was
// asked to open.

namespace {

QString g_opened; // the stand-in writes its arguments here

QByteArray waitForOpened() {
    QFile file(g_opened);
    for (int i = 0; i < 500 && !file.exists(); ++i) {
        QTest::qWait(10);
    }
    QTest::qWait(50); // let the stand-in finish writing
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestWebSite : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            QSKIP("no X display to open addresses from (Xvfb missing)");
        }
        QFile::remove(g_opened);
    }

    void desktopShellHandsTheAddressToTheDefaultHandler() {
        DesktopShell shell;
        QVERIFY(shell.open(QStringLiteral("https://example.invalid/a?b=c")));
        QCOMPARE(waitForOpened(), QByteArray("https://example.invalid/a?b=c\n"));
    }

    // The game's own pages are a file, wherever the game was put: the
    // address reaches the desktop as it was given, escaped.
    void menuOpensOurWebSite_data() {
        QTest::addColumn<QString>("site");
        QTest::addColumn<QByteArray>("opened");
        QTest::newRow("a web site") << QStringLiteral("https://example.invalid/spinmarsh/")
                                    << QByteArray("https://example.invalid/spinmarsh/");
        QTest::newRow("pages in a folder with a space and Japanese")
            << QUrl::fromLocalFile(QStringLiteral("/opt/my games/スピン/site/index.html"))
                   .toString()
            << QByteArray("file:///opt/my%20games/%E3%82%B9%E3%83%94%E3%83%B3/site/index.html");
    }
    void menuOpensOurWebSite() {
        QFETCH(QString, site);
        QFETCH(QByteArray, opened);
        DesktopShell shell;
        Form3 menu(shell, headlessViews().menu);
        menu.webSite = site;
        menu.show();
        int16_t up = 38, enter = 13;
        menu.Form_KeyDown(up, 0);
        menu.Form_KeyDown(enter, 0);
        QCOMPARE(waitForOpened(), opened + '\n');
        QVERIFY(menu.isShown());
    }
};

int main(int argc, char** argv) {
    QTemporaryDir handlerDir;
    const QString bin = handlerDir.path() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    g_opened = handlerDir.path() + QStringLiteral("/opened.txt");
    {
        QFile script(bin + QStringLiteral("/xdg-open"));
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + g_opened.toLocal8Bit() +
                     ".part\" && mv \"" + g_opened.toLocal8Bit() + ".part\" \"" +
                     g_opened.toLocal8Bit() + "\"\n");
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    qputenv("PATH", bin.toLocal8Bit() + ':' + qgetenv("PATH"));
    // The handler is picked from the desktop in use; none here.
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DESKTOP_SESSION");
    qunsetenv("KDE_FULL_SESSION");
    qunsetenv("GNOME_DESKTOP_SESSION_ID");

    XvfbServer server;
    const QString display = server.start();
    if (!display.isEmpty()) {
        qputenv("DISPLAY", display.toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    int result = 0;
    {
        QGuiApplication app(argc, argv);
        TestWebSite test;
        result = QTest::qExec(&test, argc, argv);
    }
    return result;
}

#include "test_web_site.moc"
