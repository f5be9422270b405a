// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>
#include <QString>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// A private X server for the tests that need a real display: Xvfb picks a
// free display number itself (-displayfd) and keeps running when its last
// client leaves (-noreset). Stopped with the object.
class XvfbServer {
  public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer() { stop(); }

    // The display as ":N", or empty when no server could be started.
    QString start() {
        int fds[2];
        if (pipe(fds) != 0) {
            return {};
        }
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            // It complains about every display number already taken.
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 2);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-nolisten", "tcp",
                   "-screen", "0", "1280x1024x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 15000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        m_pid = pid;
        if (number.empty()) {
            stop();
            return {};
        }
        return QStringLiteral(":") + QString::fromStdString(number);
    }

    void stop() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
            m_pid = 0;
        }
    }

  private:
    pid_t m_pid = 0;
};

// A test program's main on a private X server, so that windows take and lose
// the focus as they do on a desktop.
template <typename Test> int execOnXvfb(int argc, char** argv) {
    XvfbServer server;
    const QString display = server.start();
    if (display.isEmpty()) {
        std::fputs("needs Xvfb (scripts/install-deps installs it)\n", stderr);
        return 1;
    }
    qputenv("DISPLAY", display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
