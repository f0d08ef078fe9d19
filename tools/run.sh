#!/usr/bin/env bash
# Builds tomarin.exe and runs it under Wine.
#  - With a DISPLAY, it runs there until you choose "終了" from its menu.
#  - Without one, it starts a private X display, opens Wine's notepad for the
#    character to perch on, runs tomarin for a few seconds, writes a screenshot and
#    says where.
# Usage: tools/run.sh [build-dir]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cd "$top"

bash tools/bootstrap.sh
cmake -S . -B "$build/win64" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win64" -j "$(nproc)" --target tomarin >/dev/null
exe="$build/win64/bin/tomarin.exe"
echo "built: $exe"

source tools/wine-env.sh
trap wine_env_stop EXIT

if [[ -n ${DISPLAY:-} ]]; then
  wine_env_start_wine "$build/run"
  echo "running tomarin on $DISPLAY (right-click the character, then 終了, to end it)"
  "$WINE_LOADER" "$exe" </dev/null
  exit 0
fi

wine_env_start_xvfb
wine_env_start_wine "$build/run"
echo "no DISPLAY: running on a private display $DISPLAY for a few seconds"
"$WINE_LOADER" "$exe" </dev/null >/dev/null 2>&1 &
WINE_ENV_PIDS+=($!)
sleep 2
# A window for the character to perch on, placed where the character can stand on
# its title bar; being the newest, it takes the foreground.
for v in "iWindowPosX 160" "iWindowPosY 180" "iWindowPosDX 640" "iWindowPosDY 400"; do
  set -- $v
  wine_reg 'HKCU\Software\Microsoft\Notepad' /v "$1" /t REG_DWORD /d "$2"
done
"$WINE_LOADER" notepad </dev/null >/dev/null 2>&1 &
WINE_ENV_PIDS+=($!)
sleep 3
mkdir -p "$build/screenshots"
shot="$build/screenshots/run-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "screenshot: $shot"
newest=$(ls -t "$build"/win64/bin/e2e-scratch/screenshots/perch-*.png 2>/dev/null | head -1 || true)
[[ -n $newest ]] && echo "newest screenshot of the character perched on a window, from the end-to-end tests: $newest"
exit 0
