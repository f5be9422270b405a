// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTest>

#include <cmath>
#include <cstring>

// A private PulseAudio server for the tests that need a real sound server:
// one null sink whose monitor records what is played, reached through a
// socket in the given folder (PULSE_SERVER=address()).
class PulseServer {
  public:
    explicit PulseServer(const QString& folder) : m_folder(folder) {}
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;
    ~PulseServer() { kill(); }

    QString address() const {
        return QStringLiteral("unix:") + m_folder + QStringLiteral("/native");
    }

    // Starts the server and waits until it answers.
    bool start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder);
        env.insert(QStringLiteral("HOME"), m_folder);
        m_server.setProcessEnvironment(env);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(m_folder + QStringLiteral("/pulseaudio.log"),
                                      QIODevice::Append);
        m_server.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                        QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
                        QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=nul"),
                        QStringLiteral("-L"),
                        QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") +
                            m_folder + QStringLiteral("/native")});
        if (!m_server.waitForStarted())
            return false;
        for (int tries = 0; tries < 150; ++tries) {
            if (run(QStringLiteral("pactl"), {QStringLiteral("info")}).contains("nul"))
                return record();
            QTest::qWait(100);
        }
        return false;
    }

    // Gone the way a crash takes it.
    void kill() {
        for (QProcess* process : {&m_recorder, &m_server}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

    // What `pactl list sink-inputs` says: the streams and their properties.
    QString streams() {
        return QString::fromUtf8(
            run(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")}));
    }

    // What the sink plays from now on, as heard().
    void listen() {
        m_recorder.readAllStandardOutput();
        m_heard.clear();
    }
    // What the sink played since listen(): 16-bit stereo at 44.1 kHz.
    QByteArray heard() { return m_heard + m_recorder.readAllStandardOutput(); }

    // The RMS (full scale 1.0) of what the sink plays during the next `ms`.
    double loudness(int ms) {
        listen();
        QTest::qWait(ms);
        const QByteArray bytes = heard();
        const qsizetype count = bytes.size() / 2;
        double sum = 0.0;
        for (qsizetype i = 0; i < count; ++i) {
            qint16 sample = 0;
            std::memcpy(&sample, bytes.constData() + 2 * i, 2);
            sum += double(sample) * sample;
        }
        return count ? std::sqrt(sum / double(count)) / 32768.0 : 0.0;
    }

  private:
    // Records the sink's monitor for as long as the server runs: parec takes
    // a good half second to get going, and
    // its low latency keeps the null sink from playing in two-second chunks.
    bool record() {
        m_recorder.setProcessEnvironment(clientEnvironment());
        m_recorder.start(QStringLiteral("parec"),
                         {QStringLiteral("-d"), QStringLiteral("nul.monitor"),
                          QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                          QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"),
                          QStringLiteral("--latency-msec=20")});
        // Taken as it comes: a full pipe would hold the recorder up, and
        // the server drops what a held-up recorder does not take.
        QObject::connect(&m_recorder, &QProcess::readyReadStandardOutput,
                         [this] { m_heard += m_recorder.readAllStandardOutput(); });
        return m_recorder.waitForStarted();
    }

    QProcessEnvironment clientEnvironment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), address());
        return env;
    }
    QByteArray run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(clientEnvironment());
        process.start(program, arguments);
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished();
        }
        return process.readAllStandardOutput();
    }

    QString m_folder;
    QProcess m_server;
    QProcess m_recorder;
    QByteArray m_heard;
};
