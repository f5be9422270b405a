// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/build_config.h"
#include "app/data_dir.h"
#include "base/project.h"
#include "tests/support/file_kinds.h"
#include "tests/support/pulse_server.h"
#include "tests/support/test_parts.h"
#include "tests/support/xvfb_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <string>

// The real program in a real X server, driven from outside the way a player
// drives it: key events through the XTest extension (xdotool), windows found
// by their captions, and what the player sees taken from the screen. The
// server is a private Xvfb with openbox on it, because only a window manager
// turns Alt+F4 into a close request.

namespace {

const QString kScoreTitle = QStringLiteral("Enter キーを押したらトップメニューに戻ります。");
const QString kMenuTitle = QStringLiteral("Form3");
const QString kPlayTitle = QStringLiteral("Form1");
const QString kHighScoreTitle = QStringLiteral("Form4");
const QString kMessageTitle = QStringLiteral("Spinmarsh");
const QString kPromptTitle = QStringLiteral("すごーい");

// Generous: a loaded two-core machine can take seconds to map a window.
constexpr int kPatience = 15000;

XvfbServer g_server;
QString g_display;
QProcessEnvironment g_xEnv; // for xdotool and openbox

QString run(const QString& program, const QStringList& arguments, int ms = 10000) {
    QProcess process;
    process.setProcessEnvironment(g_xEnv);
    process.start(program, arguments);
    if (!process.waitForFinished(ms)) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString xdo(const QStringList& arguments) {
    return run(QStringLiteral("xdotool"), arguments);
}

// Types text into the focused line edit until it holds exactly that, and
// leaves it selected. xdotool types a character missing from the keyboard map
// by remapping a spare key for it; a program that reads the key after the next
// remapping, or before its keyboard map has caught up, sees another character
// or none. So each character gets time to arrive, and the edit's text is read
// back through the clipboard and typed again over itself if it came out wrong.
QString typeInto(const QString& text) {
    QString typed;
    for (int attempt = 0; attempt < 3 && typed != text; ++attempt) {
        xdo({QStringLiteral("key"), QStringLiteral("ctrl+a")});
        xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("150"), text});
        xdo({QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("ctrl+c")});
        QTest::qWait(200);
        typed = run(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                              QStringLiteral("clipboard")});
    }
    return typed;
}

QString exactly(const QString& title) {
    return QChar('^') + QRegularExpression::escape(title) + QChar('$');
}

// The window shown with exactly this caption, or empty.
QString shownWindow(const QString& title) {
    const QStringList ids = xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--name"), exactly(title)})
                                .split(QChar('\n'), Qt::SkipEmptyParts);
    return ids.isEmpty() ? QString() : ids.first();
}

QStringList shownCaptions() {
    QStringList captions;
    const QStringList ids = xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--name"), QStringLiteral(".")})
                                .split(QChar('\n'), Qt::SkipEmptyParts);
    for (const QString& id : ids) {
        captions << xdo({QStringLiteral("getwindowname"), id}).trimmed();
    }
    return captions;
}

QImage grab(const QString& window = QString()) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(window.isEmpty() ? 0 : window.toULongLong())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The x of the red ball's centre on the play field, or -1 while it is not
// drawn (before play starts). Nothing else on the field is that red.
int ballCentreX(const QImage& playWindow) {
    long sum = 0;
    int count = 0;
    for (int y = 2; y < std::min(playWindow.height(), 402); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(playWindow.constScanLine(y));
        for (int x = 2; x < std::min(playWindow.width(), 602); ++x) {
            if (qRed(line[x]) > 150 && qGreen(line[x]) < 80 && qBlue(line[x]) < 80) {
                sum += x - 2;
                ++count;
            }
        }
    }
    return count >= 100 ? static_cast<int>(sum / count) : -1;
}

// The most memory the process has held so far, in KB.
qint64 peakKb(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

QSize windowSize(const QString& window) {
    const QString shell =
        xdo({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    const auto number = [&shell](const char* name) {
        const QRegularExpressionMatch match =
            QRegularExpression(QLatin1String(name) + QStringLiteral("=(\\d+)")).match(shell);
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    };
    return {number("WIDTH"), number("HEIGHT")};
}

// The play window's content as fullscreen shows it: every pixel of the
// 604 x 404 content a factor x factor block of one colour, the whole centred
// and black all around; empty when so, else what is wrong. `windowed` is
// the window as it was before, whose sunken border must be the same.
QString scaledProblem(const QImage& screen, const QImage& windowed, int factor) {
    const QSize scaled = windowed.size() * factor;
    const QRect area(
        QPoint((screen.width() - scaled.width()) / 2, (screen.height() - scaled.height()) / 2),
        scaled);
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            const QRgb seen = screen.pixel(x, y) & 0xFFFFFFu;
            if (!area.contains(x, y)) {
                if (seen != 0) {
                    return QStringLiteral("not black at %1,%2").arg(x).arg(y);
                }
                continue;
            }
            // QPoint's own division rounds.
            const QPoint inside((x - area.x()) / factor, (y - area.y()) / factor);
            if (seen != (screen.pixel(area.topLeft() + inside * factor) & 0xFFFFFFu)) {
                return QStringLiteral("soft edge at %1,%2").arg(x).arg(y);
            }
            const bool border = inside.x() < 2 || inside.y() < 2 ||
                                inside.x() >= windowed.width() - 2 ||
                                inside.y() >= windowed.height() - 2;
            if (border && seen != (windowed.pixel(inside) & 0xFFFFFFu)) {
                return QStringLiteral("border differs at %1,%2").arg(inside.x()).arg(inside.y());
            }
        }
    }
    return {};
}

// The simulator's status for a recording, and its end line.
int simulate(const QString& recording, QJsonObject& end) {
    QProcess sim;
    sim.start(QStringLiteral(SPINMARSH_BIN_DIR "/spinmarsh-sim"),
              {QStringLiteral("--replay"), recording});
    sim.waitForFinished(60000);
    if (sim.exitCode() != 0) {
        qWarning() << recording << sim.readAllStandardError();
    }
    end =
        QJsonDocument::fromJson(sim.readAllStandardOutput().trimmed().split('\n').last()).object();
    return sim.exitCode();
}

// One run of the real program with its own settings folder, handler for web
// addresses and screenshots.
struct GameOptions {
    QString binary = QStringLiteral(SPINMARSH_BIN_DIR "/spinmarsh");
    QProcessEnvironment extraEnvironment;
};

// A game that plays its music through this sound server.
GameOptions through(const PulseServer& pulse) {
    GameOptions options;
    options.extraEnvironment.insert(QStringLiteral("PULSE_SERVER"), pulse.address());
    return options;
}

class Game {
  public:
    Game(const QString& name, const GameOptions& options = {}) : m_name(name) {
        const QString bin = m_dir.filePath(QStringLiteral("handler"));
        QDir().mkpath(bin);
        QDir().mkpath(configDir());
        QDir().mkpath(m_dir.filePath(QStringLiteral("runtime")));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
        QFile script(bin + QStringLiteral("/xdg-open"));
        script.open(QIODevice::WriteOnly);
        const QByteArray opened = openedFile().toLocal8Bit();
        script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + opened + ".part\" && mv \"" +
                     opened + ".part\" \"" + opened + "\"\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), g_display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("PATH"), bin + QChar(':') + env.value(QStringLiteral("PATH")));
        // The address handler is picked by the desktop in use; none here.
        for (const char* variable :
             {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "WAYLAND_DISPLAY"}) {
            env.remove(QString::fromLatin1(variable));
        }
        // No sound server unless a test brings its own; nor one started on
        // the game's behalf, which PulseAudio's clients do for users.
        env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent"));
        for (const QString& key : options.extraEnvironment.keys()) {
            env.insert(key, options.extraEnvironment.value(key));
        }
        m_process.setProcessEnvironment(env);
        m_process.setProgram(options.binary);
        QDir().mkpath(shotDir());
    }

    ~Game() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QString configDir() const { return m_dir.filePath(QStringLiteral("config")); }
    QString settingsFile() const { return configDir() + QStringLiteral("/Rollvane.ini"); }
    QString preferencesFile() const {
        return configDir() + QStringLiteral("/" SPINMARSH_APP_ID "/spinmarsh.ini");
    }
    QByteArray preferences() const {
        QFile file(preferencesFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
    }
    QString replayDir() const { return m_dir.filePath(QStringLiteral("data/spinmarsh/replays")); }
    QString openedFile() const { return m_dir.filePath(QStringLiteral("opened.txt")); }
    static QString shotDir() { return QStringLiteral(SPINMARSH_BUILD_DIR "/e2e-screens"); }

    void start(const QStringList& arguments = {}) {
        m_process.setArguments(arguments);
        m_process.start();
    }

    // Waits for a window with this caption; its id, or empty (and says why).
    QString waitFor(const QString& title, int ms = kPatience) {
        QElapsedTimer clock;
        clock.start();
        do {
            const QString id = shownWindow(title);
            if (!id.isEmpty()) {
                return id;
            }
            QTest::qWait(40);
        } while (clock.elapsed() < ms && m_process.state() == QProcess::Running);
        complain(QStringLiteral("no window \"%1\" within %2 ms").arg(title).arg(ms));
        return {};
    }

    bool waitGone(const QString& title, int ms = kPatience) {
        QElapsedTimer clock;
        clock.start();
        while (!shownWindow(title).isEmpty()) {
            if (clock.elapsed() > ms) {
                complain(
                    QStringLiteral("window \"%1\" still shown after %2 ms").arg(title).arg(ms));
                return false;
            }
            QTest::qWait(40);
        }
        return true;
    }

    // Waits until the window with this caption has the keyboard focus; false
    // at once should a window captioned `unless` stand first, as the end
    // message does when the lives run out while a test still plays.
    bool focused(const QString& title, const QString& unless = {}) {
        const QString id = waitFor(title);
        if (id.isEmpty()) {
            return false;
        }
        QElapsedTimer clock;
        clock.start();
        while (xdo({QStringLiteral("getactivewindow")}).trimmed() != id) {
            if (!unless.isEmpty() && !shownWindow(unless).isEmpty()) {
                return false;
            }
            if (clock.elapsed() > kPatience) {
                complain(QStringLiteral("\"%1\" never got the keyboard focus").arg(title));
                return false;
            }
            QTest::qWait(40);
        }
        return true;
    }

    // Keys to the window with this caption, once it has the keyboard focus.
    bool keys(const QString& title, const QStringList& keys, const QString& unless = {}) {
        if (!focused(title, unless)) {
            return false;
        }
        xdo(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} +
            keys);
        return true;
    }

    // The whole screen, or the picture given.
    void shot(const QString& name, const QImage& picture = QImage()) {
        (picture.isNull() ? grab() : picture)
            .save(shotDir() + QChar('/') + m_name + QChar('-') +
                  QString::number(++m_shots).rightJustified(2, QChar('0')) + QChar('-') + name +
                  QStringLiteral(".png"));
    }

    bool waitForExit(int ms = kPatience) {
        if (!m_process.waitForFinished(ms)) {
            complain(QStringLiteral("still running after %1 ms").arg(ms));
            return false;
        }
        return true;
    }
    QProcess& process() { return m_process; }

    // A record no game beats, so no name prompt comes after a game; the
    // bytes written.
    QByteArray writeUnbeatableRecord(const QByteArray& more = {}) const {
        const QByteArray record =
            "[%U30C7%U30FC%U30BF]\n%U30CF%U30A4%U30B9%U30B3%U30A2=2000000000\n" + more;
        QFile settings(settingsFile());
        return settings.open(QIODevice::WriteOnly) && settings.write(record) == record.size()
                   ? record
                   : QByteArray();
    }
    QByteArray settingsBytes() const {
        QFile file(settingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString stored(const QString& key) const {
        return QSettings(settingsFile(), QSettings::IniFormat)
            .value(QStringLiteral("データ/") + key, QStringLiteral("(absent)"))
            .toString();
    }

  private:
    void complain(const QString& what) {
        qWarning().noquote() << m_name + QStringLiteral(": ") + what
                             << "\n  shown:" << shownCaptions().join(QStringLiteral(" | "))
                             << "\n  program:" << m_process.state() << m_process.exitCode()
                             << "\n  its stderr:" << m_process.readAllStandardError();
        shot(QStringLiteral("failure"));
    }

    QString m_name;
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_shots = 0;
};

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

    QProcess m_windowManager;

  private Q_SLOTS:
    void initTestCase() {
        if (g_display.isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty()) {
            return; // the tests that need them skip
        }
        m_windowManager.setProcessEnvironment(g_xEnv);
        m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        QVERIFY2(m_windowManager.waitForStarted(),
                 "openbox is missing: scripts/install-deps installs it");
        // Its own windows are there once it manages the screen.
        QTRY_VERIFY_WITH_TIMEOUT(!xdo({QStringLiteral("search"), QStringLiteral("--classname"),
                                       QStringLiteral("^OPENBOX_")})
                                      .isEmpty(),
                                 kPatience);
    }

    void cleanupTestCase() {
        if (m_windowManager.state() != QProcess::NotRunning) {
            m_windowManager.terminate();
            m_windowManager.waitForFinished();
        }
    }

    void init() {
        const QString test = QString::fromLatin1(QTest::currentTestFunction());
        if (!test.startsWith(QStringLiteral("withoutADisplay")) &&
            (g_display.isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty())) {
            QSKIP("needs Xvfb and xdotool (scripts/install-deps installs them)");
        }
        if (test.startsWith(QStringLiteral("music")) &&
            QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()) {
            QSKIP("needs pulseaudio and pactl (scripts/install-deps installs them)");
        }
    }

    // The whole loop, from the first screen to owari, with a new high score.
    void wholeLoop() {
        Game game(QStringLiteral("loop"));
        game.start();
        QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
        game.shot(QStringLiteral("score-screen"));
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.waitGone(kScoreTitle));
        game.shot(QStringLiteral("menu"));

        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
        const QString play = game.waitFor(kPlayTitle);
        QVERIFY(!play.isEmpty());
        QVERIFY(game.waitGone(kMenuTitle));
        QTest::qWait(1900); // the banner is up from 1.6 to 2.4 s
        game.shot(QStringLiteral("countdown"));
        QVERIFY(game.focused(kPlayTitle));
        // Quick from here to Escape: left alone for a few seconds, the blue
        // ball may take all five lives and the total with them.
        QTRY_VERIFY_WITH_TIMEOUT(ballCentreX(grab(play)) >= 0, kPatience);
        xdo({QStringLiteral("keydown"), QStringLiteral("Down")});
        QTest::qWait(300);
        xdo({QStringLiteral("keyup"), QStringLiteral("Down")});
        QVERIFY(game.keys(kPlayTitle, {QStringLiteral("Escape")}));

        QVERIFY(!game.waitFor(kMessageTitle).isEmpty());
        game.shot(QStringLiteral("end-message"));
        QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));

        // The first game beats the empty record.
        // M and P in a name are letters, not the music or the pause.
        const QString name = QStringLiteral("山田 Pim Zoë");
        QVERIFY(game.focused(kPromptTitle));
        game.shot(QStringLiteral("name-prompt"));
        QCOMPARE(typeInto(name), name);
        QVERIFY(game.keys(kPromptTitle, {QStringLiteral("Return")}));
        QVERIFY(game.waitGone(kPromptTitle));
        QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
        QVERIFY(game.waitGone(kPlayTitle));
        game.shot(QStringLiteral("score-after-game"));
        QCOMPARE(game.stored(QStringLiteral("名前")), name);
        const QString score = game.stored(QStringLiteral("ハイスコア"));
        QVERIFY2(QRegularExpression(QStringLiteral("^[1-9][0-9]*$")).match(score).hasMatch(),
                 qPrintable(score));

        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Down"),
                                       QStringLiteral("Return")}));
        QVERIFY(!game.waitFor(kHighScoreTitle).isEmpty());
        QVERIFY(game.waitGone(kMenuTitle));
        game.shot(QStringLiteral("high-score"));
        QVERIFY(game.keys(kHighScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.waitGone(kHighScoreTitle));

        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Return")}));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(game.openedFile()), kPatience);
        QFile opened(game.openedFile());
        QVERIFY(opened.open(QIODevice::ReadOnly));
        // The game's own pages beside it, unless the build names a web site.
        const QString site = findWebSite(QStringLiteral(SPINMARSH_BIN_DIR));
        QCOMPARE(QString::fromUtf8(opened.readAll()), site + QChar('\n'));
        QVERIFY(QStringLiteral(SPINMARSH_HOMEPAGE_URL) == site ||
                QFileInfo(QUrl(site).toLocalFile()).isFile());
        game.shot(QStringLiteral("web-site"));

        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Up"), QStringLiteral("Up")}));
        game.shot(QStringLiteral("owari"));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
        QVERIFY(game.waitForExit());
        QCOMPARE(game.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.process().exitCode(), 0);
        QCOMPARE(game.stored(QStringLiteral("名前")), name);
        QCOMPARE(game.stored(QStringLiteral("ハイスコア")), score);
        QCOMPARE(game.preferences(), QByteArray("(no file)"));
    }

    // Keys that mean nothing where they land, and the window-close command
    // on every screen. A record nobody will beat keeps the name prompt out
    // of the way, and the game plays without a sound device and with broken
    // tunes, so nothing but silence may come of those.
    void mashingAndClosingEverywhere() {
        QTemporaryDir install;
        const QString binary = install.filePath(QStringLiteral("spinmarsh"));
        QVERIFY(QFile::copy(QStringLiteral(SPINMARSH_BIN_DIR "/spinmarsh"), binary));
        QFile tune(QStringLiteral(SPINMARSH_BIN_DIR "/0.mid"));
        QVERIFY(tune.open(QIODevice::ReadOnly));
        const QByteArray whole = tune.readAll();
        QFile cut(install.filePath(QStringLiteral("0.mid")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(whole.left(whole.size() / 2));
        cut.close();
        QFile junk(install.filePath(QStringLiteral("1.mid")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(3000, '\x5a'));
        junk.close();

        GameOptions options;
        options.binary = binary;
        options.extraEnvironment.insert(QStringLiteral("PULSE_SERVER"),
                                        QStringLiteral("unix:/nonexistent"));
        options.extraEnvironment.insert(QStringLiteral("ALSA_CONFIG_PATH"),
                                        QStringLiteral("/nonexistent"));
        Game game(QStringLiteral("closing"), options);
        const QByteArray record = game.writeUnbeatableRecord("%U540D%U524D=Keep\n");
        QVERIFY(!record.isEmpty());
        game.start();

        // Score screen: only Enter or closing leaves it.
        QVERIFY(game.keys(kScoreTitle,
                          {QStringLiteral("Escape"), QStringLiteral("Up"), QStringLiteral("Left"),
                           QStringLiteral("space"), QStringLiteral("a"), QStringLiteral("F1")}));
        QTest::qWait(300);
        QVERIFY(!game.waitFor(kScoreTitle, 0).isEmpty());
        QVERIFY(shownWindow(kMenuTitle).isEmpty());
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("alt+F4")}));
        QVERIFY(!game.waitFor(kMenuTitle).isEmpty());
        QVERIFY(game.waitGone(kScoreTitle));

        // Closed during the countdown: straight to the score screen, which
        // could not come up while an end message waited for an answer.
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kPlayTitle, {QStringLiteral("alt+F4")}));
        QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
        QVERIFY(shownWindow(kMessageTitle).isEmpty());
        QVERIFY(game.waitGone(kPlayTitle));

        // Mashed keys in the countdown, then Right held from the countdown
        // on: X repeats it from 0.66 s on as release/press pairs, and the ball
        // must keep pushing right into the wall all through play. Were a
        // repeated release taken for letting go, the ball would not even
        // start (no key held at the first tick) or would drift off the wall.
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
        const QString play = game.waitFor(kPlayTitle);
        QVERIFY(game.keys(kPlayTitle,
                          {QStringLiteral("Left"), QStringLiteral("Up"), QStringLiteral("Right"),
                           QStringLiteral("Down"), QStringLiteral("space"), QStringLiteral("a"),
                           QStringLiteral("Return"), QStringLiteral("Tab"),
                           QStringLiteral("BackSpace")}));
        xdo({QStringLiteral("keydown"), QStringLiteral("Right")});
        QElapsedTimer held;
        held.start();
        QTRY_VERIFY_WITH_TIMEOUT(ballCentreX(grab(play)) >= 0, kPatience);
        QElapsedTimer playing;
        playing.start();
        QVERIFY2(held.elapsed() > 700, "play began before the key repeated; the test is too slow");
        // Held, the ball reaches the wall 0.3 s into play and stays within
        // 45 px of it (its left side stops at 538, its centre at 554) until
        // the blue ball arrives, 0.6 s in at the earliest, and may knock it
        // back for a quarter of a second. Dropped before play, it sits in the
        // middle (centre 332) until the blue ball pushes it about. Hence the
        // median of samples taken from 0.3 to 0.65 s.
        QTest::qWait(300);
        QList<int> seen;
        QStringList centres;
        QImage field;
        while (seen.size() < 7) {
            field = grab(play);
            seen << ballCentreX(field);
            centres << QString::number(seen.last());
            QTest::qWait(50);
        }
        xdo({QStringLiteral("keyup"), QStringLiteral("Right")});
        // Against the wall the lives run out fast: the game ends by itself.
        game.shot(QStringLiteral("right-held"), field);
        qInfo("ball centres with Right held: %s", qPrintable(centres.join(QStringLiteral(", "))));
        std::sort(seen.begin(), seen.end());
        QVERIFY2(seen[3] >= 500, qPrintable(QStringLiteral("ball centres: %1 (after %2 ms of play)")
                                                .arg(centres.join(QStringLiteral(", ")))
                                                .arg(playing.elapsed())));

        // The end message ignores everything but its own answers.
        QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Left"), QStringLiteral("Down"),
                                          QStringLiteral("a"), QStringLiteral("F1")}));
        QTest::qWait(300);
        QVERIFY(!game.waitFor(kMessageTitle, 0).isEmpty());
        QVERIFY(shownWindow(kScoreTitle).isEmpty());
        game.shot(QStringLiteral("end-message-mashed"));
        QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));
        QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
        QVERIFY(shownWindow(kPromptTitle).isEmpty());

        // Closed during play: the score screen, no end message.
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
        const QString secondPlay = game.waitFor(kPlayTitle);
        QTRY_VERIFY_WITH_TIMEOUT(ballCentreX(grab(secondPlay)) >= 0, kPatience);
        QVERIFY(game.keys(kPlayTitle, {QStringLiteral("alt+F4")}));
        QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
        QVERIFY(shownWindow(kMessageTitle).isEmpty());
        QVERIFY(game.waitGone(kPlayTitle));
        game.shot(QStringLiteral("closed-in-play"));

        // The high-score screen closes back to the menu; the menu closed is
        // the program's end.
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Down"),
                                       QStringLiteral("Return")}));
        QVERIFY(game.keys(kHighScoreTitle, {QStringLiteral("alt+F4")}));
        QVERIFY(!game.waitFor(kMenuTitle).isEmpty());
        QVERIFY(game.waitGone(kHighScoreTitle));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("alt+F4")}));
        QVERIFY(game.waitForExit());
        QCOMPARE(game.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.process().exitCode(), 0);
        QCOMPARE(game.settingsBytes(), record);
    }

    // The end message and the name prompt closed with the window-close
    // command, the prompt mashed first, on a machine with no fonts at all:
    // closing the prompt is Cancel, an empty name with the new score.
    void closingTheDialogsWithoutFonts() {
        QTemporaryDir fonts;
        QFile config(fonts.filePath(QStringLiteral("fonts.conf")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" +
                     fonts.path().toLocal8Bit() + "</cachedir></fontconfig>\n");
        config.close();
        GameOptions options;
        options.extraEnvironment.insert(QStringLiteral("FONTCONFIG_FILE"), config.fileName());
        Game game(QStringLiteral("dialogs"), options);
        game.start();

        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
        const QString play = game.waitFor(kPlayTitle);
        QTRY_VERIFY_WITH_TIMEOUT(ballCentreX(grab(play)) >= 0, kPatience);
        QVERIFY(game.keys(kPlayTitle, {QStringLiteral("Escape")}));
        QVERIFY(game.keys(kMessageTitle, {QStringLiteral("alt+F4")}));
        QVERIFY(
            game.keys(kPromptTitle,
                      {QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Up"),
                       QStringLiteral("Down"), QStringLiteral("Home"), QStringLiteral("End"),
                       QStringLiteral("BackSpace"), QStringLiteral("x"), QStringLiteral("F1")}));
        QTest::qWait(300);
        QVERIFY(!game.waitFor(kPromptTitle, 0).isEmpty());
        QCOMPARE(game.stored(QStringLiteral("名前")), QStringLiteral("(absent)"));
        game.shot(QStringLiteral("prompt-without-fonts"));
        QVERIFY(game.keys(kPromptTitle, {QStringLiteral("alt+F4")}));
        QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
        game.shot(QStringLiteral("score-without-fonts"));
        QCOMPARE(game.stored(QStringLiteral("名前")), QString());
        QVERIFY(game.stored(QStringLiteral("ハイスコア")).toInt() > 0);

        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Return")}));
        QVERIFY(game.waitForExit());
        QCOMPARE(game.process().exitCode(), 0);
    }

    // Games played with real keys are recorded, one of them while both cores
    // are busy so that ticks get merged; the simulator plays every one of
    // them to its recorded end, and the high-score game back in the window
    // shows its score without asking for a name or storing anything.
    void replays() {
        Game game(QStringLiteral("replays"));
        game.start();
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        // From the game's end to its score screen: the end message unless the
        // game was closed (or a key held too long on a loaded machine has
        // answered it), then the name prompt for a new high score. The
        // prompt's name, or empty when none may come.
        const auto untilTheScore = [&game](const QString& name) {
            const auto any = [](const QStringList& titles) {
                for (const QString& title : titles) {
                    if (!shownWindow(title).isEmpty()) {
                        return title;
                    }
                }
                return QString();
            };
            QTRY_VERIFY_WITH_TIMEOUT(!any({kMessageTitle, kPromptTitle, kScoreTitle}).isEmpty(),
                                     kPatience);
            if (any({kMessageTitle}) == kMessageTitle) {
                QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));
            }
            QTRY_VERIFY_WITH_TIMEOUT(!any({kPromptTitle, kScoreTitle}).isEmpty(), kPatience);
            QTest::qWait(200);
            if (!shownWindow(kPromptTitle).isEmpty()) {
                QVERIFY2(!name.isEmpty(), "a name prompt for a watched game");
                QVERIFY(game.keys(kPromptTitle, {name, QStringLiteral("Return")}));
                QVERIFY(game.waitGone(kPromptTitle));
            }
            QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
        };
        const auto playOne = [&](const QString& key, bool escape, bool stall = false) {
            QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
            const QString play = game.waitFor(kPlayTitle);
            QTRY_VERIFY_WITH_TIMEOUT(ballCentreX(grab(play)) >= 0, kPatience);
            QVERIFY(game.focused(kPlayTitle));
            xdo({QStringLiteral("keydown"), key});
            if (stall) {
                // Stopped for a moment: the first tick after is certainly late.
                const QString pid = QString::number(game.process().processId());
                run(QStringLiteral("kill"), {QStringLiteral("-STOP"), pid});
                QTest::qWait(150);
                run(QStringLiteral("kill"), {QStringLiteral("-CONT"), pid});
            }
            QTest::qWait(400);
            xdo({QStringLiteral("keyup"), key});
            // Lives may have run out meanwhile.
            game.keys(kPlayTitle, {escape ? QStringLiteral("Escape") : QStringLiteral("alt+F4")},
                      kMessageTitle);
            untilTheScore(QStringLiteral("a"));
            QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        };
        playOne(QStringLiteral("Right"), true);
        QVERIFY(!QTest::currentTestFailed());
        {
            QList<QProcess*> busy;
            // A loop on each core, and the game yields to them from now on.
            QCOMPARE(run(QStringLiteral("renice"),
                         {QStringLiteral("-n"), QStringLiteral("19"), QStringLiteral("-p"),
                          QString::number(game.process().processId())})
                         .isEmpty(),
                     false);
            for (int i = 0; i < 2; ++i) {
                busy << new QProcess;
                busy.last()->start(QStringLiteral("sh"),
                                   {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
            }
            playOne(QStringLiteral("Down"), true, true);
            for (QProcess* p : busy) {
                p->kill();
                p->waitForFinished();
                delete p;
            }
        }
        QVERIFY(!QTest::currentTestFailed());
        playOne(QStringLiteral("Left"), false);
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Return")}));
        QVERIFY(game.waitForExit());
        QCOMPARE(game.process().exitCode(), 0);

        const QDir dir(game.replayDir());
        const QStringList filed = dir.entryList({QStringLiteral("2*.replay")}, QDir::Files);
        QCOMPARE(filed.size(), 3);
        int widest = 0;
        // Status 0 says too that each recording is within the bounds every
        // recording is read against: games played in the window pass them.
        for (const QString& name : filed) {
            QJsonObject end;
            QCOMPARE(simulate(dir.filePath(name), end), 0);
            QVERIFY2(name.endsWith(QChar('-') + QString::number(end.value("total").toInt()) +
                                   QStringLiteral(".replay")),
                     qPrintable(name));
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            for (const QByteArray& line : file.readAll().split('\n')) {
                if (line.startsWith("clock ")) {
                    for (const QByteArray& gap : line.mid(6).split(' ').mid(1)) {
                        widest = std::max(widest, gap.toInt());
                    }
                }
            }
        }
        qInfo("the widest gap between two ticks' clock readings: %d ms", widest);
        QVERIFY(widest >= 100);
        const QString record = dir.filePath(QStringLiteral("record.replay"));
        QJsonObject recordEnd;
        QCOMPARE(simulate(record, recordEnd), 0);
        QCOMPARE(recordEnd.value("total").toInt(),
                 game.stored(QStringLiteral("ハイスコア")).toInt());

        const QByteArray settings = game.settingsBytes();
        game.start({QStringLiteral("--watch-record")});
        QVERIFY(!game.waitFor(kPlayTitle).isEmpty());
        QVERIFY(game.keys(kPlayTitle, {QStringLiteral("Up"), QStringLiteral("Return")}));
        untilTheScore(QString());
        game.shot(QStringLiteral("watched-score"));
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.waitForExit());
        QCOMPARE(game.process().exitCode(), 0);
        QCOMPARE(game.settingsBytes(), settings);
        QCOMPARE(dir.entryList({QStringLiteral("*.replay")}, QDir::Files).size(), 4);
    }

    // A player with only old recordings finds them in the records at once;
    // the game then played is the best, outlives 60 newer recordings, and
    // watched from the records ends on the very score screen it ended on.
    void records() {
        Game game(QStringLiteral("records"));
        const QString oldest = QStringLiteral("20200101-100000-15050.replay");
        QVERIFY(QDir().mkpath(game.replayDir()));
        const QString golden =
            QStringLiteral(SPINMARSH_SOURCE_DIR "/tests/data/replay/golden.replay");
        QVERIFY(QFile::copy(golden, game.replayDir() + QChar('/') + oldest));
        for (int i = 0; i < 60; ++i) {
            QVERIFY(QFile::copy(
                golden,
                game.replayDir() +
                    QStringLiteral("/20250101-10%1-15050.replay").arg(i, 4, 10, QChar('0'))));
        }
        game.start({QStringLiteral("--records")});
        QVERIFY(!game.waitFor(QStringLiteral("記録")).isEmpty());
        QFile table(game.replayDir() + QStringLiteral("/../records.txt"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        QVERIFY(table.readAll().contains(("game\t" + oldest).toUtf8()));
        QVERIFY(game.keys(QStringLiteral("記録"), {QStringLiteral("Escape")}));
        QVERIFY(game.waitGone(QStringLiteral("記録")));
        QVERIFY(game.keys(kHighScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.waitGone(kHighScoreTitle));

        // A game of the player's own, worth more than the rest, from the
        // menu's first showing, on Start.
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
        const QString play = game.waitFor(kPlayTitle);
        QTRY_VERIFY_WITH_TIMEOUT(ballCentreX(grab(play)) >= 0, kPatience);
        QVERIFY(game.keys(kPlayTitle, {QStringLiteral("Escape")}));
        QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kPromptTitle, {QStringLiteral("a"), QStringLiteral("Return")}));
        const QString score = game.waitFor(kScoreTitle);
        QVERIFY(game.waitGone(kPromptTitle));
        QTest::qWait(300);
        const QImage played = grab(score);
        QVERIFY(QFile::exists(game.replayDir() + QChar('/') + oldest));

        // Right on the high-score screen, Enter on the best game.
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Down"),
                                       QStringLiteral("Return")}));
        QVERIFY(game.keys(kHighScoreTitle, {QStringLiteral("Right")}));
        QVERIFY(game.keys(QStringLiteral("記録"), {QStringLiteral("Return")}));
        QVERIFY(!game.waitFor(kPlayTitle).isEmpty());
        QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));
        const QString watched = game.waitFor(kScoreTitle);
        QVERIFY(!watched.isEmpty());
        QVERIFY(shownWindow(kPromptTitle).isEmpty());
        QTest::qWait(300);
        game.shot(QStringLiteral("watched-score"), grab(watched));
        QCOMPARE(grab(watched), played);

        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(QStringLiteral("記録"), {QStringLiteral("Escape")}));
        QVERIFY(!game.waitFor(kHighScoreTitle).isEmpty());
        QVERIFY(game.waitGone(QStringLiteral("記録")));
    }

    // Another window taking the focus pauses the game, with Right held: the
    // field stands still, even once the focus is back, until P; Right, let go
    // in the other window, is let go when the game resumes. Escape ends a
    // paused game. Its recording, pauses left out, plays back in the
    // simulator, and watching it can be paused too.
    void focusLossPausesUntilP() {
        Game game(QStringLiteral("pause"));
        QVERIFY(!game.writeUnbeatableRecord().isEmpty());
        game.start();
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
        const QString play = game.waitFor(kPlayTitle);
        QTRY_VERIFY_WITH_TIMEOUT(ballCentreX(grab(play)) >= 0, kPatience);
        QVERIFY(game.focused(kPlayTitle));
        xdo({QStringLiteral("keydown"), QStringLiteral("Right")});
        QTest::qWait(300);
        QProcess other;
        other.setProcessEnvironment(g_xEnv);
        // Beside the game, so that what the game shows can be compared.
        other.start(QStringLiteral("xmessage"),
                    {QStringLiteral("-geometry"), QStringLiteral("+0+0"),
                     QStringLiteral("the phone rings")});
        QTRY_VERIFY_WITH_TIMEOUT(xdo({QStringLiteral("getactivewindow")}).trimmed() != play,
                                 kPatience);
        xdo({QStringLiteral("keyup"), QStringLiteral("Right")});
        QTest::qWait(300);
        const QImage paused = grab(play);
        game.shot(QStringLiteral("paused"), paused);
        QTest::qWait(1500);
        QCOMPARE(grab(play), paused);
        other.kill();
        other.waitForFinished();
        xdo({QStringLiteral("windowactivate"), play});
        QVERIFY(game.focused(kPlayTitle));
        QTest::qWait(1000);
        QCOMPARE(grab(play), paused);

        QVERIFY(game.keys(kPlayTitle, {QStringLiteral("p")}));
        QTRY_VERIFY_WITH_TIMEOUT(grab(play) != paused, kPatience);
        game.keys(kPlayTitle, {QStringLiteral("p")}, kMessageTitle);
        QTest::qWait(300);
        if (shownWindow(kMessageTitle).isEmpty()) { // unless the lives ran out meanwhile
            const QImage again = grab(play);
            QTest::qWait(500);
            QCOMPARE(grab(play), again);
            QVERIFY(game.keys(kPlayTitle, {QStringLiteral("Escape")}));
        }
        QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));
        QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Return")}));
        QVERIFY(game.waitForExit());

        const QDir dir(game.replayDir());
        const QStringList filed = dir.entryList({QStringLiteral("2*.replay")}, QDir::Files);
        QCOMPARE(filed.size(), 1);
        const QString recording = dir.filePath(filed.first());
        QFile file(recording);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        int widest = 0;
        QList<QByteArray> events;
        for (const QByteArray& line : lines) {
            if (line.startsWith("clock ")) {
                for (const QByteArray& gap : line.mid(6).split(' ').mid(1)) {
                    widest = std::max(widest, gap.toInt());
                }
            } else if (line.contains(" down ") || line.contains(" up ")) {
                events << line.mid(line.indexOf(' ') + 1);
            }
        }
        QVERIFY2(events.mid(0, 2) == QList<QByteArray>({"down Right", "up Right"}),
                 qPrintable(events.join(", ")));
        QVERIFY2(widest < 1000, qPrintable(QString::number(widest)));
        QJsonObject end;
        QCOMPARE(simulate(recording, end), 0);

        game.start({QStringLiteral("--replay"), recording});
        const QString watched = game.waitFor(kPlayTitle);
        QVERIFY(game.keys(kPlayTitle, {QStringLiteral("p")}));
        QTest::qWait(300);
        const QImage still = grab(watched);
        QTest::qWait(2000);
        QCOMPARE(grab(watched), still);
        QVERIFY(game.keys(kPlayTitle, {QStringLiteral("p")}));
        QVERIFY(!game.waitFor(kMessageTitle).isEmpty());
        QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.waitForExit());
        QCOMPARE(game.process().exitCode(), 0);
    }

    // Through a real sound server: music while a game is played, no stream
    // at all while the score screen stands or the game is paused, and after
    // the server has died and come back, music again in the next game.
    void musicThroughASoundServer() {
        QTemporaryDir folder;
        PulseServer pulse(folder.path());
        QVERIFY2(pulse.start(), "the sound server did not start");
        Game game(QStringLiteral("sound"), through(pulse));
        QVERIFY(!game.writeUnbeatableRecord().isEmpty());
        game.start();
        constexpr double kSilence = 1e-4; // the null sink's monitor gives exact zeros
        // The music, heard within a few tries of half a second.
        const auto loudness = [&pulse] {
            double rms = 0.0;
            for (int tries = 0; tries < 10 && rms < 20 * kSilence; ++tries) {
                rms = pulse.loudness(500);
            }
            return rms;
        };
        // Left alone, a game ends by itself after about a second of play, and
        // its tune goes on through the end message: so the pause comes as soon
        // as the tune streams, and nothing here races the game to its end.
        auto playOneGame = [&](const char* when, bool pausing) {
            QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
            QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
            QVERIFY(!game.waitFor(kPlayTitle).isEmpty());
            QTRY_VERIFY_WITH_TIMEOUT(!pulse.streams().isEmpty(), kPatience);
            if (pausing) {
                QVERIFY(game.keys(kPlayTitle, {QStringLiteral("p")}));
                QTRY_COMPARE_WITH_TIMEOUT(pulse.streams(), QString(), kPatience);
                QTest::qWait(500);
                QVERIFY(pulse.loudness(300) < kSilence);
                QVERIFY(game.keys(kPlayTitle, {QStringLiteral("p")}));
            }
            const double heard = loudness();
            QVERIFY2(
                heard > 20 * kSilence,
                qPrintable(
                    QStringLiteral("%1: RMS %2 during play").arg(QLatin1String(when)).arg(heard)));
            const QString streams = pulse.streams();
            for (const char* property :
                 {"application.name = \"Spinmarsh\"",
                  "application.icon_name = \"" SPINMARSH_APP_ID "\"", "media.role = \"game\""}) {
                QVERIFY2(streams.contains(QLatin1String(property)), qPrintable(streams));
            }
            // Held well ahead in the server, so neither the game's output
            // thread nor the server wakes every few milliseconds for it.
            const auto buffered =
                QRegularExpression(QStringLiteral("Buffer Latency: (\\d+) usec")).match(streams);
            QVERIFY2(buffered.captured(1).toLongLong() >= 100000, qPrintable(streams));
            QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));
            QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
            QTRY_COMPARE_WITH_TIMEOUT(pulse.streams(), QString(), kPatience);
        };

        QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
        QTest::qWait(500);
        QCOMPARE(pulse.streams(), QString()); // nothing streams before the first game
        playOneGame("first game, after a pause", true);
        QTest::qWait(500);
        QCOMPARE(pulse.streams(), QString());
        QVERIFY(pulse.loudness(300) < kSilence);

        pulse.kill();
        QVERIFY2(pulse.start(), "the sound server did not start again");
        playOneGame("after the sound server came back", false);
    }

    // M on every screen switches the music and keeps the choice; with the
    // music off no sound stream opens, in this run or the next. F11 and
    // Alt+Enter switch the play screen to fullscreen and back, drawn at
    // twice its size on this 1280 x 1024 screen, and the next game, and the
    // next run, open it as it was left.
    void musicOffAndFullscreenKept() {
        QTemporaryDir folder;
        PulseServer pulse(folder.path());
        QVERIFY2(pulse.start(), "the sound server did not start");
        Game game(QStringLiteral("choices"), through(pulse));
        const QByteArray record =
            "[%U30C7%U30FC%U30BF]\n%U30CF%U30A4%U30B9%U30B3%U30A2=2000000000\n";
        {
            QFile settings(game.settingsFile());
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write(record);
        }
        const QString m = QStringLiteral("m");
        const auto musicIs = [&game](const char* value) {
            QTRY_VERIFY2_WITH_TIMEOUT(game.preferences().contains("music=" + QByteArray(value)),
                                      game.preferences().constData(), kPatience);
        };
        // Each screen takes M twice and stays where it is.
        const auto switchTwice = [&](const QString& title) {
            QVERIFY(game.keys(title, {m}));
            musicIs("true");
            QVERIFY(game.keys(title, {m}));
            musicIs("false");
            QVERIFY(!shownWindow(title).isEmpty());
        };
        game.start();
        QVERIFY(game.keys(kScoreTitle, {m}));
        musicIs("false");
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        switchTwice(kMenuTitle);
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Down"),
                                       QStringLiteral("Return")}));
        switchTwice(kHighScoreTitle);
        QVERIFY(game.keys(kHighScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Up"), QStringLiteral("Up")}));

        // A game lets go of the keys after about a second of play; the keys
        // come in its countdown, and the tune, if any, plays on through the
        // end message.
        const QSize desktop = QGuiApplication::primaryScreen()->size();
        const QSize window(604, 404);
        const auto playOneGame = [&](QSize opens, const QStringList& countdownKeys, QSize size,
                                     bool music) {
            QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Return")}));
            const QString play = game.waitFor(kPlayTitle);
            QTRY_COMPARE_WITH_TIMEOUT(windowSize(play), opens, kPatience);
            if (!countdownKeys.isEmpty()) {
                const QImage windowed = grab(play);
                QVERIFY(game.keys(kPlayTitle, countdownKeys));
                QTRY_COMPARE_WITH_TIMEOUT(windowSize(play), size, kPatience);
                if (size == desktop) {
                    // The first fullscreen paint may come after the resize.
                    QImage full;
                    QString problem;
                    QTRY_VERIFY_WITH_TIMEOUT(
                        (problem = scaledProblem(full = grab(play), windowed, 2)).isEmpty() ||
                            !shownWindow(kMessageTitle).isEmpty(),
                        kPatience);
                    QVERIFY2(shownWindow(kMessageTitle).isEmpty(), "the game ended too soon");
                    game.shot(QStringLiteral("fullscreen"), full);
                    QVERIFY2(problem.isEmpty(), qPrintable(problem));
                }
            }
            QVERIFY(!game.waitFor(kMessageTitle).isEmpty());
            if (music) {
                QTRY_VERIFY_WITH_TIMEOUT(!pulse.streams().isEmpty(), kPatience);
            } else {
                QTest::qWait(500);
                QCOMPARE(pulse.streams(), QString());
            }
            QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));
            QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        };
        playOneGame(window, {QStringLiteral("F11")}, desktop, false);
        QVERIFY(game.preferences().contains("fullscreen=true"));
        playOneGame(desktop, {QStringLiteral("alt+Return"), m}, window, true);
        musicIs("true");
        QVERIFY(game.preferences().contains("fullscreen=false"));
        playOneGame(window, {m, QStringLiteral("F11")}, desktop, false);
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Return")}));
        QVERIFY(game.waitForExit());
        QCOMPARE(game.process().exitCode(), 0);
        QCOMPARE(game.settingsBytes(), record);
        QCOMPARE(game.preferences(), QByteArray("[General]\nfullscreen=true\nmusic=false\n"));

        // The next run: silent and fullscreen from the start.
        game.start();
        QVERIFY(game.keys(kScoreTitle, {QStringLiteral("Return")}));
        playOneGame(desktop, {}, desktop, false);
        QVERIFY(game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Return")}));
        QVERIFY(game.waitForExit());
        QCOMPARE(game.preferences(), QByteArray("[General]\nfullscreen=true\nmusic=false\n"));
    }

    // Something that can never be a record in the record's place: the game
    // starts as fast and as small as beside a readable record that says what
    // no record says, its high-score screen shows just that, and a new high
    // score moves the thing aside, as it is, and is saved.
    void oddFileInTheRecordsPlace_data() {
        QTest::addColumn<QString>("kind");
        for (const QString& kind : file_kinds::kOdd) {
            QTest::newRow(qPrintable(kind)) << kind;
        }
    }

    void oddFileInTheRecordsPlace() {
        QFETCH(QString, kind);
        struct Seen {
            qint64 ms = -1;     // to the first screen
            qint64 peakKb = -1; // the most memory held by then
            QImage highScore;
        };
        // Started with the record's place as given, up to the high-score screen.
        const auto startUp = [](Game& game, const QString& what, const QByteArray& normal) {
            Seen seen;
            file_kinds::make(what, game.settingsFile(), normal);
            QElapsedTimer clock;
            clock.start();
            game.start();
            if (!game.waitFor(kScoreTitle).isEmpty()) {
                seen.ms = clock.elapsed();
                seen.peakKb = peakKb(game.process().processId());
            }
            if (game.keys(kScoreTitle, {QStringLiteral("Return")}) &&
                game.keys(kMenuTitle, {QStringLiteral("Down"), QStringLiteral("Down"),
                                       QStringLiteral("Return")}) &&
                game.waitGone(kMenuTitle)) {
                seen.highScore = grab(game.waitFor(kHighScoreTitle));
            }
            qInfo("%s: first screen in %lld ms, %lld KB at most", qPrintable(what), seen.ms,
                  seen.peakKb);
            return seen;
        };
        Seen expected;
        {
            Game normal(QStringLiteral("record-normal"));
            expected = startUp(normal, file_kinds::kNormal,
                               "[%U30C7%U30FC%U30BF]\n%U30CF%U30A4%U30B9%U30B3%U30A2=0\n"
                               "%U540D%U524D=Tovik\n");
        }
        Game game(QStringLiteral("record-") + QString(kind).replace(QChar('/'), QChar('-')));
        const Seen odd = startUp(game, kind, {});
        const QString before = file_kinds::describe(game.settingsFile());
        QVERIFY(!expected.highScore.isNull() && odd.highScore == expected.highScore);
        // Reading a 3 GB file, or even 200 MB, would take seconds and hundreds of MB.
        QVERIFY2(odd.ms >= 0 && odd.ms < expected.ms + 3000, qPrintable(QString::number(odd.ms)));
        QVERIFY2(odd.peakKb < expected.peakKb + 16 * 1024, qPrintable(QString::number(odd.peakKb)));

        QVERIFY(game.keys(kHighScoreTitle, {QStringLiteral("Return")}));
        QVERIFY(game.keys(kMenuTitle,
                          {QStringLiteral("Up"), QStringLiteral("Up"), QStringLiteral("Return")}));
        QTRY_VERIFY_WITH_TIMEOUT(ballCentreX(grab(game.waitFor(kPlayTitle))) >= 0, kPatience);
        // The lives may have run out first.
        game.keys(kPlayTitle, {QStringLiteral("Escape")}, kMessageTitle);
        QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));
        // The name the prompt offers, then word of where the odd file went.
        QVERIFY(game.keys(kPromptTitle, {QStringLiteral("Return")}));
        QVERIFY(game.waitGone(kPromptTitle));
        game.shot(QStringLiteral("moved-aside"));
        QVERIFY(game.keys(kMessageTitle, {QStringLiteral("Return")}));
        QVERIFY(!game.waitFor(kScoreTitle).isEmpty());
        QCOMPARE(game.stored(QStringLiteral("名前")), QStringLiteral("Name"));
        const QStringList aside = QDir(game.configDir())
                                      .entryList({QStringLiteral("Rollvane.ini.damaged-*")},
                                                 QDir::AllEntries | QDir::System);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(file_kinds::describe(game.configDir() + QChar('/') + aside[0]), before);
    }

    // No display to open, or one whose server is gone: one plain line and
    // status 1, never Qt's abort and a core dump.
    void withoutADisplay_data() {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::newRow("DISPLAY unset") << QString() << QString();
        QTest::newRow("server gone") << QStringLiteral(":9973") << QString();
        QTest::newRow("Wayland compositor gone") << QString() << QStringLiteral("wayland-gone");
        QTest::newRow("both gone") << QStringLiteral(":9973") << QStringLiteral("wayland-gone");
    }

    void withoutADisplay() {
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QTemporaryDir runtime;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        if (!wayland.isEmpty()) {
            env.insert(QStringLiteral("WAYLAND_DISPLAY"), wayland);
        }
        if (!display.isEmpty()) {
            QVERIFY(!QFile::exists(QStringLiteral("/tmp/.X11-unix/X9973")));
            env.insert(QStringLiteral("DISPLAY"), display);
        }
        QProcess game;
        game.setProcessEnvironment(env);
        game.start(QStringLiteral(SPINMARSH_BIN_DIR "/spinmarsh"), {});
        QVERIFY(game.waitForFinished(kPatience));
        const QByteArray message = game.readAllStandardError();
        QCOMPARE(game.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.exitCode(), 1);
        QCOMPARE(message.count('\n'), 1);
        QVERIFY2(message.startsWith("spinmarsh: ") && message.contains("display"),
                 message.constData());
    }
};

int main(int argc, char** argv) {
    g_display = g_server.start();
    g_xEnv = QProcessEnvironment::systemEnvironment();
    if (!g_display.isEmpty()) {
        g_xEnv.insert(QStringLiteral("DISPLAY"), g_display);
        // The test takes its screenshots through Qt on the same server.
        qputenv("DISPLAY", g_display.toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    int result = 0;
    {
        QGuiApplication app(argc, argv);
        TestEndToEnd test;
        result = execPart(test, argc, argv);
    }
    g_server.stop();
    return result;
}

#include "test_end_to_end.moc"
