#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (no display, no sound card).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset dev
cmake --build --preset dev
ctest --preset dev -j "$(nproc)"
