// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play/form1.h"

#include "base/numbers.h"
#include "base/rules.h"

#include <cstdlib>

namespace {
using rules::kEnemyAcceleration;
using rules::kKeyAcceleration;
using rules::kShotOffset;
using rules::kShotStart;
using rules::kShotStep;

void limit(int32_t& velocity, int32_t cap) {
    if (velocity > cap) {
        velocity = cap;
    } else if (velocity < -cap) {
        velocity = -cap;
    }
}

int32_t towards(int32_t velocity, int32_t gap) {
    if (gap > 0) {
        return add(velocity, kEnemyAcceleration);
    }
    if (gap < 0) {
        return sub(velocity, kEnemyAcceleration);
    }
    return velocity;
}
} // namespace

// One step of the whole game, in a fixed order. All motion is per tick.
void Form1::Timer1_Timer() {
    if (m_phase != Phase::Play || m_paused || !beforeStep()) {
        return;
    }

    if (KeyXOn == 1) {
        if (KeyX == 2) {
            BoulVX = add(BoulVX, kKeyAcceleration);
        } else if (KeyX == 4) {
            BoulVX = sub(BoulVX, kKeyAcceleration);
        }
    }
    if (KeyYOn == 1) {
        if (KeyY == 1) {
            BoulVY = sub(BoulVY, kKeyAcceleration);
        } else if (KeyY == 3) {
            BoulVY = add(BoulVY, kKeyAcceleration);
        }
    }
    limit(BoulVX, BoulMax);
    limit(BoulVY, BoulMax);

    // Only ticks at exactly the base cap count, not the faster ones after a hit.
    if (std::abs(BoulVX) == BoulBaseMax) {
        Moves = add(Moves, 1);
    }
    if (std::abs(BoulVY) == BoulBaseMax) {
        Moves = add(Moves, 1);
    }

    BoulX = cint(BoulVX / 100.0 + BoulX);
    BoulY = cint(BoulVY / 100.0 + BoulY);

    // The gunmen follow the ball as moved, before the walls hold it.
    RestoreEdges();
    DrawGanman();
    DrawGanman2();
    EraseBoul();
    DrawBoul();

    Boul2VX = towards(Boul2VX, sub(BoulX, Boul2X));
    Boul2VY = towards(Boul2VY, sub(BoulY, Boul2Y));
    limit(Boul2VX, Boul2Max);
    limit(Boul2VY, Boul2Max);
    Boul2X = cint(Boul2VX / 50.0 + Boul2X);
    Boul2Y = cint(Boul2VY / 50.0 + Boul2Y);
    EraseBoul2();
    DrawBoul2();

    if (Shot1On == -1) {
        Shot1Y = add(Shot1Y, kShotStep);
        EraseShot1();
        Shot1OldY = Shot1Y;
        DrawShot1();
        if (Shot1Y > rules::kShot1Retire) {
            Shot1On = 0;
        }
    } else if (Shot1On == 0) {
        Shot1X = add(BoulX, kShotOffset);
        Shot1OldX = Shot1X;
        Shot1Y = kShotStart;
        Shot1OldY = kShotStart;
        DrawShot1();
        Shot1On = -1;
    }

    if (Shot2On == -1) {
        Shot2X = add(Shot2X, kShotStep);
        EraseShot2();
        Shot2OldX = Shot2X;
        DrawShot2();
        if (Shot2X > rules::kShot2Retire) {
            Shot2On = 0;
        }
    } else if (Shot2On == 0) {
        Shot2Y = add(BoulY, kShotOffset);
        Shot2OldY = Shot2Y;
        Shot2X = kShotStart;
        Shot2OldX = kShotStart;
        DrawShot2();
        Shot2On = -1;
    }

    if (BoulMax > BoulBaseMax) {
        BoulMax = sub(BoulMax, rules::kCapDecay);
    }
    if (Boul2Max > Boul2BaseMax) {
        Boul2Max = sub(Boul2Max, rules::kCapDecay);
    }

    HitCheck();
    if (m_phase != Phase::Play) {
        return;
    }

    Time = cint(m_env.clock.now() - StartTime);
    // A stall (a suspended laptop, a dragged window) can jump past the limit;
    // the game still ends, and scores as if it had stopped at the limit.
    if (Time >= rules::kTimeLimit) {
        Time = rules::kTimeLimit;
        spe = 1;
        m_end = End::Time;
        GameOver();
    }
}
