#include "screens/high_score_record.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <unistd.h>

// The settings file as people leave it: edited by hand, half written,
// overwritten by something else, locked away. The game must start, read
// something sensible and never destroy a record it cannot read.

namespace {

// The section and keys as the file spells them.
const QByteArray kSection = "[%U30C7%U30FC%U30BF]\n";
const QByteArray kScore = "%U30CF%U30A4%U30B9%U30B3%U30A2=";
const QByteArray kName = "%U540D%U524D=";

QByteArray recordText(const QByteArray& score, const QByteArray& name = "Kit") {
    return kSection + kScore + score + '\n' + kName + name + '\n';
}

QByteArray noise(qsizetype size) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = char((i * 7919 + 13) % 256);
    }
    return bytes;
}

QString settingsFile(const QString& folder) {
    return folder + QStringLiteral("/Rollvane.ini");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Run in a child process: reads the record and tries to replace it, and
// reports what it saw on standard output.
int childReadsAndWrites() {
    QSettingsStore store;
    HighScoreRecord record(store);
    const QString before = record.scoreText() + QChar('|') + record.name();
    const bool written = record.write(QStringLiteral("Ann"), 900);
    std::printf("%s|%s\n", qPrintable(before), written ? "written" : "refused");
    return 0;
}

} // namespace

class TestBadSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder() const { return m_dir.path() + QStringLiteral("/config"); }

    // What a fresh reader of the file sees.
    static QString seen() {
        QSettingsStore store;
        HighScoreRecord record(store);
        return record.scoreText() + QChar('|') + record.name();
    }

    // The child above, as a user who is not root when the test is, since
    // root reads and writes through any file mode.
    QString childSees() {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder());
        env.insert(QStringLiteral("SPINMARSH_SETTINGS_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        const QString self = QCoreApplication::applicationFilePath();
        if (geteuid() == 0) {
            child.start(QStringLiteral("setpriv"),
                        {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                         QStringLiteral("--clear-groups"), self});
        } else {
            child.start(self, {});
        }
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            return QStringLiteral("child failed: ") + QString::fromLocal8Bit(child.readAll());
        }
        return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    }

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        // The unprivileged child must reach the folder.
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                QFileDevice::ExeOther);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder());
    }

    void init() {
        QDir(folder()).removeRecursively();
        QVERIFY(QDir().mkpath(folder()));
    }

    void cleanup() {
        QFile::setPermissions(folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner);
        QFile::setPermissions(settingsFile(folder()),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // Whatever the file holds, the game reads a record (or none) and a new
    // high score can still be stored over it.
    void damagedFileStillTakesANewRecord_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("read");
        QTest::newRow("empty") << QByteArray() << "0|Tovik";
        QTest::newRow("binary garbage") << noise(4096) << "0|Tovik";
        QTest::newRow("garbage around the record")
            << noise(512) + '\n' + recordText("700") + noise(512) << "700|Kit";
        QTest::newRow("cut short in the score")
            << recordText("700").left(kSection.size() + 20) << "0|Tovik";
        QTest::newRow("score with a blank") << recordText(" 12") << "12|Kit";
        QTest::newRow("quoted score with a blank") << recordText("\" 12\"") << " 12|Kit";
        QTest::newRow("score with a comma") << recordText("1,000") << "0|Kit";
        QTest::newRow("duplicate keys")
            << kSection + kScore + "500\n" + kScore + "700\n" + kName + "A\n" + kName + "B\n"
            << "700|B";
        QTest::newRow("section twice")
            << recordText("500", "A") + recordText("700", "B") << "700|B";
    }

    void damagedFileStillTakesANewRecord() {
        QFETCH(QByteArray, content);
        QFETCH(QString, read);
        writeFile(settingsFile(folder()), content);
        QCOMPARE(seen(), read);

        QSettingsStore store;
        QVERIFY(HighScoreRecord(store).write(QStringLiteral("Ann"), 900));
        QCOMPARE(seen(), QStringLiteral("900|Ann"));
        // One score and one name, whatever was there before.
        const QByteArray after = readFile(settingsFile(folder()));
        QCOMPARE(after.count(kScore), 1);
        QCOMPARE(after.count(kName), 1);
    }

    // A 20 MB file read once at the end of every game, and once more to
    // store a record: slow, but the record is found and kept.
    void hugeFile() {
        QByteArray content = recordText("700");
        content.reserve(21 << 20);
        for (int i = 0; content.size() < (20 << 20); ++i) {
            content += "[junk" + QByteArray::number(i / 1000) + "]\nkey" + QByteArray::number(i) +
                       '=' + QByteArray(60, 'x') + '\n';
        }
        writeFile(settingsFile(folder()), content);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(seen(), QStringLiteral("700|Kit"));
        const qint64 readMs = clock.restart();
        QSettingsStore store;
        QVERIFY(HighScoreRecord(store).write(QStringLiteral("Ann"), 900));
        const qint64 writeMs = clock.elapsed();
        QCOMPARE(seen(), QStringLiteral("900|Ann"));
        qInfo("20 MB settings file: read %lld ms, new record stored in %lld ms", readMs, writeMs);
    }

    // A file the player may not read, and a folder the player may not write:
    // the record is taken as absent or read as it is, the new one is refused
    // (the game then says so), and the file is not touched.
    void lockedAway_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<bool>("fileReadable");
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<QString>("seen");
        QTest::newRow("unreadable file") << recordText("700") << false << true << "0|Tovik|refused";
        QTest::newRow("read-only folder")
            << recordText("700") << true << false << "700|Kit|refused";
        QTest::newRow("read-only folder, no file")
            << QByteArray() << true << false << "0|Tovik|refused";
        QTest::newRow("read-only folder, damaged file")
            << noise(512) + '\n' + recordText("700") << true << false << "700|Kit|refused";
    }

    void lockedAway() {
        QFETCH(QByteArray, content);
        QFETCH(bool, fileReadable);
        QFETCH(bool, folderWritable);
        QFETCH(QString, seen);
        const QString file = settingsFile(folder());
        if (!content.isNull()) {
            writeFile(file, content);
            // Readable means read and write for everyone: only the folder
            // stands in the way then.
            QFile::setPermissions(file, fileReadable
                                            ? QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther | QFileDevice::WriteOther
                                            : QFileDevice::Permissions());
        }
        QFile::setPermissions(
            folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadOther | QFileDevice::ExeOther |
                          (folderWritable ? QFileDevice::WriteOther : QFileDevice::Permissions()));
        const QStringList before = QDir(folder()).entryList(QDir::Files | QDir::Hidden);

        QCOMPARE(childSees(), seen);
        QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden), before);
        if (!content.isNull()) {
            QCOMPARE(readFile(file), content);
        }
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("SPINMARSH_SETTINGS_CHILD")) {
        QCoreApplication app(argc, argv);
        return childReadsAndWrites();
    }
    QCoreApplication app(argc, argv);
    TestBadSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_bad_settings.moc"
