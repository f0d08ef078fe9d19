#!/usr/bin/env bash
# Idle cost of tracking: tomarin perched on a window that stands still, against a bare
# poller that only asks for the foreground window and its rectangle every 100 ms,
# both running side by side under Wine for the same 30 s. Prints the CPU time of each
# process and their ratio; exits non-zero when tomarin costs more than 1.1 times the
# poller. For reference it also runs the poller with a small window of its own, which
# pays what any program with a window pays for waiting on messages under Wine.
# Usage: tools/bench-tracking.sh [build-dir] (seconds: BENCH_SECONDS=30)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
seconds=${BENCH_SECONDS:-30}
budget=1.1
cd "$top"

bash tools/bootstrap.sh
cmake -S . -B "$build/win64" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win64" -j 2 --target tomarin e2e_target bare_poller wine_keepalive >/dev/null
bin="$build/win64/bin"

source tools/wine-env.sh
trap wine_env_stop EXIT
wine_env_start_xvfb
wine_env_start_wine "$build"
wine_env_keepalive "$bin/wine_keepalive.exe"

# tomarin runs from a folder of its own, with no settings file: the built-in plate on
# corner 0 of the foreground window.
scratch="$build/bench-tracking"
rm -rf "$scratch" && mkdir -p "$scratch"
cp "$bin/tomarin.exe" "$scratch/"

start() { # exe args... -> PID of the Wine process, which is the program's own
  "$WINE_LOADER" "$@" </dev/null >/dev/null 2>&1 &
  WINE_ENV_PIDS+=($!)
  echo $!
}

# CPU time of every thread of a process, in nanoseconds.
cpu_ns() {
  local total=0 f run
  for f in /proc/"$1"/task/*/schedstat; do
    read -r run _ <"$f" 2>/dev/null && total=$((total + run))
  done
  echo "$total"
}

tomarin=$(start "$scratch/tomarin.exe")
sleep 3
# Started last, the target takes the foreground from the character.
target=$(start "$bin/e2e_target.exe" --rect 200 200 400 300 --title "Bench target")
poller=$(start "$bin/bare_poller.exe")
windowed=$(start "$bin/bare_poller.exe" --window)
sleep 3

# The character must really be tracking: standing on the target's title bar.
geometry=$(xwininfo -name FmMain 2>/dev/null | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x "," y}')
if [[ $geometry != "200,170" ]]; then
  echo "bench-tracking: the character is at ${geometry:-nowhere}, not on the target (200,170)" >&2
  exit 1
fi

t0=$(cpu_ns "$tomarin")
p0=$(cpu_ns "$poller")
w0=$(cpu_ns "$windowed")
sleep "$seconds"
t1=$(cpu_ns "$tomarin")
p1=$(cpu_ns "$poller")
w1=$(cpu_ns "$windowed")
kill -0 "$target" 2>/dev/null || { echo "bench-tracking: the target window went away" >&2; exit 1; }

awk -v t=$((t1 - t0)) -v p=$((p1 - p0)) -v w=$((w1 - w0)) -v s="$seconds" -v b="$budget" 'BEGIN {
  ratio = p > 0 ? t / p : 0
  printf "tracking idle over %d s, CPU time of each process:\n", s
  printf "  tomarin                    %8.1f ms\n", t / 1e6
  printf "  bare poller                %8.1f ms\n", p / 1e6
  printf "  bare poller with a window  %8.1f ms\n", w / 1e6
  printf "ratio tomarin / bare poller: %.3f (budget %.2f)\n", ratio, b
  printf "ratio tomarin / poller with a window: %.3f\n", (w > 0 ? t / w : 0)
  exit (p > 0 && ratio <= b) ? 0 : 1
}'
