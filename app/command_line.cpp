// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "app/key_help.h"
#include "base/project.h"

#include <QCommandLineParser>

#include <cstdio>

namespace {
CommandLine refuse(const QString& why) {
    std::fprintf(stderr, "spinmarsh: %s Try spinmarsh --help.\n", qPrintable(why));
    return {2, std::nullopt, false};
}
} // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Spinmarsh: steer the red ball away from the blue one and the gunmen's shots."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption replay(
        QStringLiteral("replay"),
        QStringLiteral("Plays the game recorded in <file>, then shows its score."),
        QStringLiteral("file"));
    const QCommandLineOption watchRecord(QStringLiteral("watch-record"),
                                         QStringLiteral("Plays the game that set the high score."));
    const QCommandLineOption records(
        QStringLiteral("records"),
        QStringLiteral("Opens on the records: the best ten and the recent games, to watch again."));
    parser.addOptions({help, version, replay, watchRecord, records});
    // What a file manager hands over when a recording is opened with the game.
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("Plays the game recorded in <file>, as --replay does."),
        QStringLiteral("[file]"));
    if (!parser.parse(arguments)) {
        return refuse(parser.errorText());
    }
    const QStringList files = parser.positionalArguments();
    const qsizetype recordings =
        files.size() + int(parser.isSet(replay)) + int(parser.isSet(watchRecord));
    if (recordings > 1) {
        return refuse(
            QStringLiteral("One recording at a time: a file, --replay or --watch-record."));
    }
    if (recordings > 0 && parser.isSet(records)) {
        return refuse(QStringLiteral("--records plays no recording of its own."));
    }
    if (parser.isSet(help)) {
        // Qt takes the program's name for the usage line from the
        // application object, and there is none yet.
        QString text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                 QStringLiteral("spinmarsh"));
        text += QStringLiteral("\nKeys:\n");
        for (const KeyHelp& key : kKeyHelp) {
            text += QStringLiteral("  %1  %2\n")
                        .arg(QString::fromUtf8(key.keys).leftJustified(14),
                             QString::fromUtf8(key.what));
        }
        std::fputs(qPrintable(text), stdout);
        return {0, std::nullopt, false};
    }
    if (parser.isSet(version)) {
        std::puts("spinmarsh " SPINMARSH_VERSION);
        return {0, std::nullopt, false};
    }
    if (parser.isSet(replay)) {
        return {std::nullopt, parser.value(replay), false};
    }
    if (!files.isEmpty()) {
        return {std::nullopt, files.constFirst(), false};
    }
    return {std::nullopt, std::nullopt, parser.isSet(watchRecord), parser.isSet(records)};
}
