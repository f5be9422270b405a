#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Spinmarsh developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs what is missing, builds Spinmarsh and starts it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps
cmake --preset dev >/dev/null
cmake --build --preset dev
exec ./build/bin/spinmarsh "$@"
