#!/usr/bin/env bash
# Retakes the pictures of the manual (Data/マニュアル/img): Chimelab's pages and splash from the
# screenshot tool, Triplay's window from the program itself on a virtual screen, and the photograph
# of the chime from the drawn assets. Needs a dev build (cmake --preset dev && cmake --build
# --preset dev); run it again when a page changes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build"
img="$root/Data/マニュアル/img"
mkdir -p "$img"

cmake --build --preset dev --target kw27_manualshots kw27_data kw27_assets >/dev/null

# Start-up reads the data set relative to the working folder, as the programs always do.
(cd "$build/KW-27" && QT_QPA_PLATFORM=offscreen ALSOFT_DRIVERS=null \
    "$build/tools/manual/kw27_manualshots" "$img")

cp "$build/tools/assets/chime.png" "$img/chime.png"

# Triplay: there is no window manager on the virtual screen, so its window is the only thing on
# a black root window and trimming the black away leaves the window.
if [ -x "$build/KW-27/Triplay" ]; then
  shot=$(mktemp --suffix=.png)
  (cd "$build/KW-27" && ALSOFT_DRIVERS=null xvfb-run -a -s "-screen 0 800x600x24" \
      sh -c './Triplay & pid=$!; sleep 3; import-im6.q16 -window root "$0"; kill $pid' "$shot")
  convert-im6.q16 "$shot" -trim +repage "$img/triplay.png"
  rm -f "$shot"
  echo "$img/triplay.png"
else
  echo "Triplay is not built: $img/triplay.png left as it is" >&2
fi
