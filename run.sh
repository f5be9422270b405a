#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Spinmarsh developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs what is missing, builds Spinmarsh and starts it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
exec ./build/bin/spinmarsh "$@"
