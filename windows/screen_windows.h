// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "screens/screen_set.h"

// The screens' Qt windows, each built from its layout beside it.
LayoutView* scoreWindow(Form2& form);
LayoutView* menuWindow(Form3& form);
LayoutView* highScoreWindow(Form4& form);
LayoutView* recordsWindow(RecordsScreen& screen);

// The five windows, as the program shows its screens.
ScreenSet::Views windowViews();
