#!/usr/bin/env bash
# Retakes the pictures of the manual (Data/マニュアル/img): the pages of Chimelab and the window
# of Triplay, drawn offscreen by the screenshot tools with a few choices made, and the photograph
# of the chime from the drawn assets. Needs the dev build configured (cmake --preset dev); run
# it again when a window changes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build"
img="$root/Data/マニュアル/img"
mkdir -p "$img"

tools=(kw27_manualshots)
[ -f triplay/Unit2.h ] && tools+=(kw27_manualshots_triplay)
cmake --build --preset dev --target "${tools[@]}" kw27_data kw27_assets >/dev/null

# The programs read the data set relative to the working folder, as they always do.
cd "$build/KW-27"
export QT_QPA_PLATFORM=offscreen ALSOFT_DRIVERS=null
for tool in "${tools[@]}"; do
  "$build/tools/manual/$tool" "$img"
done
cp "$build/tools/assets/chime.png" "$img/chime.png"
[ -f "$root/triplay/Unit2.h" ] || echo "Triplay's window is not built yet: its pictures are left as they are" >&2
