// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes the program's icon as a PNG of one size, for the icon theme:
// spinmarsh-icon-png SIZE FILE
#include "art/icon.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: spinmarsh-icon-png SIZE FILE\n", stderr);
        return 2;
    }
    const int size = std::stoi(argv[1]);
    if (!art::programIconImage(size).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "spinmarsh-icon-png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
