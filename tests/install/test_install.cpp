// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game as a packager installs it: into a scratch DESTDIR, then moved
// elsewhere as a whole, checked the way a desktop and a distribution look at
// it.
#include "app/build_config.h"
#include "app/data_dir.h"
#include "base/project.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

const QString kId = QStringLiteral(SPINMARSH_APP_ID);

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs a program with no display of any kind in its environment.
Run run(const QString& program, const QStringList& arguments,
        const QProcessEnvironment& extra = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const QString& name : extra.keys())
        env.insert(name, extra.value(name));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir m_scratch;
    QString m_prefix; // the installed tree, after its move

    QString installed(const QString& path) const { return m_prefix + QLatin1Char('/') + path; }
    QString gameDir() const { return installed(QStringLiteral(SPINMARSH_INSTALL_GAMEDIR)); }
    QString dataDir() const { return installed(QStringLiteral(SPINMARSH_INSTALL_DATADIR)); }

    // A desktop that finds the installed tree's program and data folder
    // first, and nothing of this machine's user.
    QProcessEnvironment desktop() const {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"),
                   gameDir() + QLatin1Char(':') + qEnvironmentVariable("PATH"));
        env.insert(QStringLiteral("XDG_DATA_DIRS"), dataDir() + QStringLiteral(":/usr/share"));
        env.insert(QStringLiteral("XDG_DATA_HOME"),
                   m_scratch.filePath(QStringLiteral("home/data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"),
                   m_scratch.filePath(QStringLiteral("home/config")));
        return env;
    }

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_scratch.isValid());
        QProcessEnvironment destdir;
        destdir.insert(QStringLiteral("DESTDIR"), m_scratch.filePath(QStringLiteral("stage")));
        const Run install = run(QStringLiteral(SPINMARSH_CMAKE),
                                {QStringLiteral("--install"), QStringLiteral(SPINMARSH_BUILD_DIR),
                                 QStringLiteral("--prefix"), QStringLiteral("/usr")},
                                destdir);
        QVERIFY2(install.status == 0, qPrintable(install.err));
        // A relocated install must work as well as one where it was put.
        m_prefix = m_scratch.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().rename(m_scratch.filePath(QStringLiteral("stage/usr")), m_prefix));
        // What a distribution's triggers, or a desktop, do with the file types
        // and the desktop entries that open them.
        const Run mime = run(QStringLiteral("update-mime-database"), {dataDir() + "/mime"});
        QVERIFY2(mime.status == 0, qPrintable(mime.err));
        const Run apps =
            run(QStringLiteral("update-desktop-database"), {dataDir() + "/applications"});
        QVERIFY2(apps.status == 0, qPrintable(apps.err));
    }

    void onlyTheGameIsInTheProgramFolder() {
        QCOMPARE(QDir(gameDir()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("spinmarsh")});
        QVERIFY(QFileInfo(gameDir() + QStringLiteral("/spinmarsh")).isExecutable());
    }

    void tuneDirIsFound_data() {
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("expected");
        QTest::newRow("installed: the data folder") << gameDir() << dataDir() + "/spinmarsh";
        QTest::newRow("build tree: beside the program")
            << QStringLiteral(SPINMARSH_BIN_DIR) << QStringLiteral(SPINMARSH_BIN_DIR);
        QTest::newRow("no tunes anywhere: the program's folder")
            << m_scratch.path() << m_scratch.path();
    }
    void tuneDirIsFound() {
        QFETCH(QString, programDir);
        QFETCH(QString, expected);
        const QString dir = findTuneDir(programDir);
        QCOMPARE(QDir(dir).canonicalPath(), QDir(expected).canonicalPath());
        if (dir != m_scratch.path()) {
            QVERIFY(QFileInfo::exists(dir + QStringLiteral("/0.mid")));
            QVERIFY(QFileInfo::exists(dir + QStringLiteral("/1.mid")));
        }
    }

    void tunesBesideTheProgramWinOverTheDataFolder() {
        QFile::copy(QStringLiteral(SPINMARSH_BIN_DIR "/1.mid"), gameDir() + "/1.mid");
        const QString dir = findTuneDir(gameDir());
        QFile::remove(gameDir() + "/1.mid");
        QCOMPARE(dir, gameDir());
    }

    // What the title menu's Zerrendo opens, seen from the moved install.
    void webSiteIsAnInstalledPage() {
        if (!QStringLiteral(SPINMARSH_HOMEPAGE_URL).isEmpty())
            QSKIP("this build names a web site");
        const QUrl site(findWebSite(gameDir()));
        QCOMPARE(site.scheme(), QStringLiteral("file"));
        QCOMPARE(QFileInfo(site.toLocalFile()).canonicalFilePath(),
                 QFileInfo(dataDir() + QStringLiteral("/spinmarsh/" SPINMARSH_PAGES "/index.html"))
                     .canonicalFilePath());
    }

    void pagesStandAlone_data() {
        QTest::addColumn<QString>("page");
        QTest::newRow("Japanese") << QStringLiteral("index.html");
        QTest::newRow("English") << QStringLiteral("en.html");
    }
    // Offline, no scripts, nothing fetched from outside, every link and
    // picture there, and the keys' table filled in.
    void pagesStandAlone() {
        QFETCH(QString, page);
        const QString dir = dataDir() + QStringLiteral("/spinmarsh/" SPINMARSH_PAGES "/");
        QFile file(dir + page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(!html.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
        QVERIFY(!html.contains(QLatin1Char('@')));
        QVERIFY(html.contains(QStringLiteral("<kbd>Escape</kbd>")));
        QVERIFY(html.contains(QStringLiteral("name=\"viewport\"")));
        auto links =
            QRegularExpression(QStringLiteral("(?:href|src)=\"([^\"]*)\"")).globalMatch(html);
        while (links.hasNext()) {
            const QString link = links.next().captured(1);
            QVERIFY2(QUrl(link).isRelative(), qPrintable(link));
            QVERIFY2(QFileInfo(dir + link).isFile(), qPrintable(link));
        }
    }

    void iconsAtEverySize_data() {
        QTest::addColumn<int>("size");
        for (const int size : {16, 32, 48, 64, 128, 256})
            QTest::addRow("%d", size) << size;
    }
    // Each size shows the red ball and the blue one, not a smudge.
    void iconsAtEverySize() {
        QFETCH(int, size);
        const QImage icon(dataDir() +
                          QStringLiteral("/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId));
        QCOMPARE(icon.size(), QSize(size, size));
        int red = 0;
        int blue = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QColor c = icon.pixelColor(x, y);
                red += c.red() > 150 && c.green() < 80 && c.blue() < 80;
                blue += c.blue() > 150 && c.red() < 80 && c.green() < 120;
            }
        }
        QVERIFY2(red >= size * size / 40, qPrintable(QString::number(red)));
        QVERIFY2(blue >= size * size / 40, qPrintable(QString::number(blue)));
        QVERIFY(QFileInfo::exists(dataDir() +
                                  QStringLiteral("/icons/hicolor/scalable/apps/%1.svg").arg(kId)));
    }

    void desktopFilesAreValid_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("desktop entry")
            << QStringLiteral("desktop-file-validate")
            << QStringList{dataDir() + QStringLiteral("/applications/%1.desktop").arg(kId)};
        QTest::newRow("AppStream metainfo")
            << QStringLiteral("appstreamcli")
            << QStringList{QStringLiteral("validate"), QStringLiteral("--pedantic"),
                           QStringLiteral("--no-net"),
                           dataDir() + QStringLiteral("/metainfo/%1.metainfo.xml").arg(kId)};
        QTest::newRow("manual page")
            << QStringLiteral("man")
            << QStringList{
                   QStringLiteral("--warnings"), QStringLiteral("-l"),
                   installed(QStringLiteral(SPINMARSH_INSTALL_MANDIR "/man6/spinmarsh.6.gz"))};
    }
    // Clean means silent on standard error and, for AppStream, nothing above
    // an info: ours is that it does not know the top-level domain.
    void desktopFilesAreValid() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QProcessEnvironment env;
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        const Run result = run(program, arguments, env);
        QVERIFY2(result.status == 0, qPrintable(result.out + result.err));
        QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
        for (const QString& line : result.out.split(QLatin1Char('\n')))
            QVERIFY2(!QRegularExpression(QStringLiteral("^[EWP]: ")).match(line).hasMatch(),
                     qPrintable(line));
    }

    // A file manager knows a recording by its name, or by its first line
    // when it has another name, and offers the game to open it.
    void recordingsAreKnownToTheDesktop_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("type");
        QFile golden(QStringLiteral(SPINMARSH_SOURCE_DIR "/tests/data/replay/golden.replay"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        const QByteArray recording = golden.readAll();
        const QString replay = QStringLiteral("application/x-spinmarsh-replay");
        QTest::newRow("by its name") << "best.replay" << QByteArray("not a recording\n") << replay;
        QTest::newRow("by its first line") << "best-game" << recording << replay;
        QTest::newRow("neither") << "notes" << QByteArray("spinmarsh-replays 1\n")
                                 << QStringLiteral("text/plain");
    }
    void recordingsAreKnownToTheDesktop() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, type);
        const QString path = m_scratch.filePath(name);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
        file.close();
        const Run info = run(QStringLiteral("gio"),
                             {QStringLiteral("info"), QStringLiteral("-a"),
                              QStringLiteral("standard::content-type"), path},
                             desktop());
        QCOMPARE(info.status, 0);
        const QRegularExpressionMatch found =
            QRegularExpression(QStringLiteral("standard::content-type: (\\S+)")).match(info.out);
        QVERIFY2(found.hasMatch(), qPrintable(info.out));
        QCOMPARE(found.captured(1), type);

        const Run apps = run(QStringLiteral("gio"), {QStringLiteral("mime"), type}, desktop());
        QCOMPARE(apps.status, 0);
        QCOMPARE(apps.out.contains(kId + QStringLiteral(".desktop")),
                 type != QStringLiteral("text/plain"));
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("--version")
            << QStringList{QStringLiteral("--version")} << 0
            << QStringLiteral("spinmarsh " SPINMARSH_VERSION "\n") << QString();
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0
                                << QStringLiteral("Usage: spinmarsh [options]") << QString();
        QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << 0 << QStringLiteral("--help")
                            << QString();
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--fullscreen")} << 2 << QString()
            << QStringLiteral("spinmarsh: Unknown option 'fullscreen'. Try spinmarsh --help.\n");
        const QString recording =
            QStringLiteral(SPINMARSH_SOURCE_DIR "/tests/data/replay/golden.replay");
        QTest::newRow("a recording, no display")
            << QStringList{recording} << 1 << QString() << QStringLiteral("no display");
        QTest::newRow("a file that is no recording")
            << QStringList{QStringLiteral(SPINMARSH_SOURCE_DIR "/README.md")} << 2 << QString()
            << QStringLiteral("spinmarsh: " SPINMARSH_SOURCE_DIR "/README.md: ");
        QTest::newRow("no such file") << QStringList{QStringLiteral("level2")} << 2 << QString()
                                      << QStringLiteral("spinmarsh: level2: no such file");
        const QString oneAtATime = QStringLiteral(
            "spinmarsh: One recording at a time: a file, --replay or --watch-record. Try "
            "spinmarsh --help.\n");
        QTest::newRow("two recordings")
            << QStringList{recording, recording} << 2 << QString() << oneAtATime;
        QTest::newRow("a recording and --watch-record")
            << QStringList{recording, QStringLiteral("--watch-record")} << 2 << QString()
            << oneAtATime;
        QTest::newRow("--replay and a recording")
            << QStringList{QStringLiteral("--replay"), recording, recording} << 2 << QString()
            << oneAtATime;
        QTest::newRow("--records and a recording")
            << QStringList{QStringLiteral("--records"), recording} << 2 << QString()
            << QStringLiteral("spinmarsh: --records plays no recording of its own. Try "
                              "spinmarsh --help.\n");
        QTest::newRow("--records, no display") << QStringList{QStringLiteral("--records")} << 1
                                               << QString() << QStringLiteral("no display");
        QTest::newRow("no arguments, no display")
            << QStringList{} << 1 << QString() << QStringLiteral("spinmarsh: ");
    }
    // --watch-record plays record.replay only when it is the stored score's
    // game (here it gets as far as needing a display); an older copy of the
    // game could have left another game's there.
    void watchRecord_data() {
        QTest::addColumn<QByteArray>("score");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        QTest::newRow("the record's game") << QByteArray("15050") << 1 << "no display";
        QTest::newRow("another game")
            << QByteArray("15100") << 2
            << "the game of another high score (total 15050, the high score is 15100)";
    }
    void watchRecord() {
        QFETCH(QByteArray, score);
        QFETCH(int, status);
        QFETCH(QString, err);
        const QProcessEnvironment env = desktop();
        const QString replays = env.value("XDG_DATA_HOME") + "/spinmarsh/replays";
        QVERIFY(QDir().mkpath(replays));
        QVERIFY(QDir().mkpath(env.value("XDG_CONFIG_HOME")));
        QFile::remove(replays + "/record.replay");
        QVERIFY(QFile::copy(QStringLiteral(SPINMARSH_SOURCE_DIR "/tests/data/replay/golden.replay"),
                            replays + "/record.replay"));
        QFile settings(env.value("XDG_CONFIG_HOME") + "/Rollvane.ini");
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[%U30C7%U30FC%U30BF]\n%U30CF%U30A4%U30B9%U30B3%U30A2=" + score + '\n');
        settings.close();
        const Run result =
            run(gameDir() + QStringLiteral("/spinmarsh"), {QStringLiteral("--watch-record")}, env);
        QCOMPARE(result.status, status);
        QVERIFY2(result.err.contains(err), qPrintable(result.err));
    }

    // Answered by the installed game with no display at all; the game itself
    // needs one.
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Run result = run(gameDir() + QStringLiteral("/spinmarsh"), arguments);
        QCOMPARE(result.status, status);
        if (out.endsWith(QLatin1Char('\n')))
            QCOMPARE(result.out, out);
        else
            QVERIFY2(result.out.contains(out), qPrintable(result.out));
        if (err.endsWith(QLatin1Char('\n')) || err.isEmpty())
            QCOMPARE(result.err, err);
        else
            QVERIFY2(result.err.contains(err), qPrintable(result.err));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
