// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

// Every picture of the game, made by code, at its exact pixel size. Each
// function builds its picture once and hands out copies.
//
// Sprite sheets hold the mask at x = 0 and the image at x = w: the mask is
// black where the sprite is opaque and white elsewhere; the image is black
// wherever the mask is white.
namespace art {

QImage playerBallSheet(); // 64 x 32
QImage enemyBallSheet();  // 64 x 32
QImage topGunmanSheet();  // 50 x 25
QImage leftGunmanSheet(); // 50 x 25
QImage shotSheet();       // 20 x 10
QImage playField();       // 600 x 400
QImage bannerPicture();   // 158 x 63
QImage bannerMask();      // 158 x 63, exactly black outside the letters and shadow

QImage scoreBoard();       // 891 x 480, the score screen's background with every heading
QImage timesSign();        // 35 x 37
QImage equalsSign();       // 37 x 31
QImage titleLogo();        // 856 x 105
QImage highScoreHeading(); // 867 x 187

// The totals of the recent games as a line on the score screen's black,
// oldest left, the best one marked by the player's red ball.
QImage totalsChart(const std::vector<int32_t>& totals, QSize size);

// A heading lettered on the score board, in the board's pixels, edges
// included. A row's heading sits left of the label showing the row's points
// (named as in the score screen's layout), on the same line; section titles
// head no row.
struct BoardHeading {
    enum class Colour { Gold, Green };
    const char* text;
    Colour colour;
    const char* row; // nullptr for a section title
    int left, top, right, bottom;
};
extern const std::array<BoardHeading, 14> kBoardHeadings;

// The pictures the screen layouts name ("scoreBoard", "timesSign", ...); a
// null picture for a name that is not one of them.
QImage pictureNamed(const QString& name);

} // namespace art
