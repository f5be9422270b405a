#include "app/application.h"
#include "app/display.h"
#include "art/icon.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (!displayReachable()) {
        std::fputs("spinmarsh: no display to open (DISPLAY and WAYLAND_DISPLAY reach none); start "
                   "it on a desktop.\n",
                   stderr);
        return 1;
    }
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Spinmarsh"));
    // Every window shows the program's own icon; the desktop file names it too.
    QApplication::setWindowIcon(art::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("spinmarsh"));
    // No display name: Qt would append it to every window's title, and each
    // screen's title is exactly its caption.
    QApplication::setQuitOnLastWindowClosed(false);

    Application game;
    game.start();
    return QApplication::exec();
}
