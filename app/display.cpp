// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/display.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

bool xServerReachable() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

// The compositor's socket, named by WAYLAND_DISPLAY: a path of its own, or a
// name in XDG_RUNTIME_DIR.
bool waylandReachable() {
    const QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty()) {
        return false;
    }
    const QByteArray path =
        name.startsWith('/') ? name : qgetenv("XDG_RUNTIME_DIR") + QByteArray("/") + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<size_t>(path.size()) >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool reachable =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return reachable;
}

} // namespace

bool displayReachable() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "xcb" && platform != "wayland") {
        return true; // offscreen, VNC and the like: Qt's own business
    }
    const bool wayland = platform != "xcb" && waylandReachable();
    const bool x = platform != "wayland" && xServerReachable();
    if (platform.isEmpty() && wayland != x) {
        qputenv("QT_QPA_PLATFORM", wayland ? "wayland" : "xcb");
    }
    return wayland || x;
}
