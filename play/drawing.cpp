#include "play/form1.h"

#include "app/numbers.h"

// Sprites are drawn straight onto the visible field: the mask clears the
// sprite's shape (AND), the image fills it (XOR). They are erased by copying
// their rectangle back from the untouched background.

namespace {
constexpr int kBall = 32;
constexpr int kGunman = 25;
constexpr int kShot = 10;
constexpr int32_t kMargin = 30;
} // namespace

void Form1::drawSprite(const Surface& sheet, int32_t x, int32_t y, int w, int h) {
    BitBlt(MainPic, x, y, w, h, sheet, 0, 0, SRCAND);
    BitBlt(MainPic, x, y, w, h, sheet, w, 0, SRCINVERT);
}

void Form1::restore(int32_t x, int32_t y, int w, int h) {
    BitBlt(MainPic, x, y, w, h, SubPic, x, y, SRCCOPY);
}

// Puts a ball that crossed a wall line back on the line, reverses its
// velocity on that axis and counts the bounce. The field's size is read
// afresh each time.
void Form1::holdInside(int32_t& x, int32_t& y, int32_t& vx, int32_t& vy, int32_t& bounces) const {
    if (x < kMargin) {
        x = kMargin;
        vx = neg(vx);
        bounces = add(bounces, 1);
    } else if (x > static_cast<double>(ScaleWidth() - kBall - kMargin)) {
        x = cint(static_cast<double>(ScaleWidth() - kBall - kMargin));
        vx = neg(vx);
        bounces = add(bounces, 1);
    }
    if (y < kMargin) {
        y = kMargin;
        vy = neg(vy);
        bounces = add(bounces, 1);
    } else if (y > static_cast<double>(ScaleHeight() - kBall - kMargin)) {
        y = cint(static_cast<double>(ScaleHeight() - kBall - kMargin));
        vy = neg(vy);
        bounces = add(bounces, 1);
    }
}

void Form1::DrawBoul() {
    holdInside(BoulX, BoulY, BoulVX, BoulVY, kabe);
    drawSprite(BoulPic, BoulX, BoulY, kBall, kBall);
    BoulOldX = BoulX;
    BoulOldY = BoulY;
}

void Form1::DrawBoul2() {
    holdInside(Boul2X, Boul2Y, Boul2VX, Boul2VY, kabe2);
    drawSprite(Boul2pic, Boul2X, Boul2Y, kBall, kBall);
    Boul2OldX = Boul2X;
    Boul2OldY = Boul2Y;
}

void Form1::EraseBoul() {
    restore(BoulOldX, BoulOldY, kBall, kBall);
}
void Form1::EraseBoul2() {
    restore(Boul2OldX, Boul2OldY, kBall, kBall);
}
void Form1::DrawGanman() {
    drawSprite(Ganmanpic, BoulX, 0, kGunman, kGunman);
}
void Form1::DrawGanman2() {
    drawSprite(Ganman2pic, 0, BoulY, kGunman, kGunman);
}
void Form1::DrawShot1() {
    drawSprite(Ganpic, Shot1X, Shot1Y, kShot, kShot);
}
void Form1::DrawShot2() {
    drawSprite(Ganpic, Shot2X, Shot2Y, kShot, kShot);
}
void Form1::EraseShot1() {
    restore(Shot1OldX, Shot1OldY, kShot, kShot);
}
void Form1::EraseShot2() {
    restore(Shot2OldX, Shot2OldY, kShot, kShot);
}

// The margin strips are fixed sizes, not taken from the field's scale.
void Form1::RestoreEdges() {
    restore(0, 0, 600, 30);
    restore(0, 0, 30, 400);
}
