// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the desktop's display (X or Wayland) answers. Qt gives up with
// abort(), and so a core dump, when the display it picks cannot be reached;
// when only one of the two answers, Qt is told to use that one.
bool displayReachable();
