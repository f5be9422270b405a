#include "platform/shell.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopShell::open(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}
