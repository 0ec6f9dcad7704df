#!/usr/bin/env bash
# Installs what is missing, builds, and starts Chimelab from its own folder.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
cd build/KW-27
if [ -x ./Chimelab ]; then
  exec ./Chimelab
fi
echo "Chimelab is not built yet; the output folder is $(pwd)" >&2
