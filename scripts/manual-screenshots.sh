#!/usr/bin/env bash
# Retakes the pictures of the manual (Data/マニュアル/img): the pages of Chimelab and the window
# of Triplay, drawn offscreen by the screenshot tool with a few choices made, and the photograph
# of the chime from the drawn assets. Needs the dev build configured (cmake --preset dev); run
# it again when a window changes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build"
img="$root/Data/マニュアル/img"
mkdir -p "$img"

cmake --build --preset dev --target kw27_manualshots kw27_data kw27_assets >/dev/null

# The programs read the data set relative to the working folder, as they always do.
cd "$build/KW-27"
export QT_QPA_PLATFORM=offscreen ALSOFT_DRIVERS=null
"$build/tools/manual/kw27_manualshots" "$img"
cp "$build/tools/assets/chime.png" "$img/chime.png"
