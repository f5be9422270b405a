// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks of the game. --help and --version are answered
// on the spot, before any display is needed; anything else is refused.
struct CommandLine {
    std::optional<int> exitStatus; // set when the program ends here
    std::optional<QString> replay; // the recording to watch instead of playing
    bool watchRecord = false;      // watch the game that set the high score
    bool records = false;          // open on the records screen
};

CommandLine readCommandLine(const QStringList& arguments);
