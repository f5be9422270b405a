// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/form1.h"

#include "base/numbers.h"
#include "base/rules.h"

// Sprites are drawn straight onto the visible field: the mask clears the
// sprite's shape (AND), the image fills it (XOR). They are erased by copying
// their rectangle back from the untouched background.

namespace {
using rules::kBallSize;
using rules::kGunmanSize;
using rules::kShotSize;
} // namespace

void Form1::drawSprite(const Surface& sheet, int32_t x, int32_t y, int w, int h) {
    BitBlt(MainPic, x, y, w, h, sheet, 0, 0, SRCAND);
    BitBlt(MainPic, x, y, w, h, sheet, w, 0, SRCINVERT);
}

void Form1::restore(int32_t x, int32_t y, int w, int h) {
    BitBlt(MainPic, x, y, w, h, SubPic, x, y, SRCCOPY);
}

void Form1::DrawBoul() {
    holdInside(BoulX, BoulY, BoulVX, BoulVY, kabe);
    drawSprite(BoulPic, BoulX, BoulY, kBallSize, kBallSize);
    BoulOldX = BoulX;
    BoulOldY = BoulY;
}

void Form1::DrawBoul2() {
    holdInside(Boul2X, Boul2Y, Boul2VX, Boul2VY, kabe2);
    drawSprite(Boul2pic, Boul2X, Boul2Y, kBallSize, kBallSize);
    Boul2OldX = Boul2X;
    Boul2OldY = Boul2Y;
}

void Form1::EraseBoul() {
    restore(BoulOldX, BoulOldY, kBallSize, kBallSize);
}
void Form1::EraseBoul2() {
    restore(Boul2OldX, Boul2OldY, kBallSize, kBallSize);
}
void Form1::DrawGanman() {
    drawSprite(Ganmanpic, BoulX, 0, kGunmanSize, kGunmanSize);
}
void Form1::DrawGanman2() {
    drawSprite(Ganman2pic, 0, BoulY, kGunmanSize, kGunmanSize);
}
void Form1::DrawShot1() {
    drawSprite(Ganpic, Shot1X, Shot1Y, kShotSize, kShotSize);
}
void Form1::DrawShot2() {
    drawSprite(Ganpic, Shot2X, Shot2Y, kShotSize, kShotSize);
}
void Form1::EraseShot1() {
    restore(Shot1OldX, Shot1OldY, kShotSize, kShotSize);
}
void Form1::EraseShot2() {
    restore(Shot2OldX, Shot2OldY, kShotSize, kShotSize);
}

// The margin strips are fixed sizes, not taken from the field's scale.
void Form1::RestoreEdges() {
    restore(0, 0, rules::kFieldWidth, rules::kMargin);
    restore(0, 0, rules::kMargin, rules::kFieldHeight);
}
