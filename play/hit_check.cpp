// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/form1.h"

#include "base/numbers.h"
#include "base/rules.h"
#include "platform/rect.h"

namespace {
using rules::kBallSize;
using rules::kKnockBack;
using rules::kShotSize;

RECT box(int32_t x, int32_t y, int32_t size) {
    return RECT{x, y, add(x, size), add(y, size)};
}

// A pair counts as a hit when the top edge of the overlap is not 0. Balls
// never reach the top row, so for them that is any shared pixel; two shots
// meeting in the top row do not count.
bool hits(const RECT& a, const RECT& b) {
    RECT overlap;
    IntersectRect(overlap, a, b);
    return overlap.top != 0;
}
} // namespace

// Resolves every collision of the current positions. The four rectangles are
// taken once at the start: a ball moved by a collision is tested where it was.
void Form1::HitCheck() {
    const RECT boul = box(BoulX, BoulY, kBallSize);
    const RECT boul2 = box(Boul2X, Boul2Y, kBallSize);
    const RECT shot1 = box(Shot1X, Shot1Y, kShotSize);
    const RECT shot2 = box(Shot2X, Shot2Y, kShotSize);
    const auto removeShot1 = [this] {
        BitBlt(MainPic, Shot1X, Shot1Y, kShotSize, kShotSize, SubPic, Shot1OldX, Shot1OldY,
               SRCCOPY);
    };
    const auto removeShot2 = [this] {
        BitBlt(MainPic, Shot2X, Shot2Y, kShotSize, kShotSize, SubPic, Shot2OldX, Shot2OldY,
               SRCCOPY);
    };

    if (hits(boul, boul2)) {
        restore(Boul2X, Boul2Y, kBallSize, kBallSize);
        DrawBoul();
        BoulMax = mul(2, BoulBaseMax);
        Boul2Max = mul(2, Boul2BaseMax);
        // Each ball takes the difference of the two velocities, as the numbers
        // stand: the enemy's are fiftieths, so it leaves at twice the speed.
        const int32_t vx = BoulVX, vy = BoulVY, v2x = Boul2VX, v2y = Boul2VY;
        BoulVX = sub(v2x, vx);
        BoulVY = sub(v2y, vy);
        Boul2VX = sub(vx, v2x);
        Boul2VY = sub(vy, v2y);
        BoulX = cint(BoulVX / 100.0 + BoulX);
        BoulY = cint(BoulVY / 100.0 + BoulY);
        Boul2X = cint(Boul2VX / 50.0 + Boul2X);
        Boul2Y = cint(Boul2VY / 50.0 + Boul2Y);
        RestoreEdges();
        DrawShot1();
        DrawShot2();
        EraseBoul2();
        DrawBoul2();
        EraseBoul();
        DrawBoul();
        life = sub(life, 1);
        if (life == 0) {
            m_end = End::Life;
            GameOver();
            return;
        }
    }
    if (hits(boul, shot1)) {
        removeShot1();
        BoulMax = mul(2, BoulBaseMax);
        BoulVY = add(BoulVY, kKnockBack);
        Shot1On = 0;
        HitGan = add(HitGan, 1);
    }
    if (hits(boul, shot2)) {
        removeShot2();
        BoulMax = mul(2, BoulBaseMax);
        BoulVX = add(BoulVX, kKnockBack);
        Shot2On = 0;
        HitGan = add(HitGan, 1);
    }
    if (hits(boul2, shot1)) {
        removeShot1();
        Boul2Max = mul(2, Boul2BaseMax);
        Boul2VY = add(Boul2VY, kKnockBack);
        Shot1On = 0;
        HitGan2 = add(HitGan2, 1);
    }
    if (hits(boul2, shot2)) {
        removeShot2();
        Boul2Max = mul(2, Boul2BaseMax);
        Boul2VX = add(Boul2VX, kKnockBack);
        Shot2On = 0;
        HitGan2 = add(HitGan2, 1);
    }
    if (hits(shot1, shot2)) {
        removeShot1();
        removeShot2();
        GanGan = add(GanGan, 1);
        Shot1On = 0;
        Shot2On = 0;
    }
}
