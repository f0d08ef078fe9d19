#!/usr/bin/env bash
# Builds and runs every benchmark and prints the ratio line of each: the native ones
# (bench/*Bench.cpp, Google Benchmark, from the host build), the ones that need the
# window system (bench/win/*Bench.cpp, run under a private Wine display and prefix
# started here and stopped by PID), and the idle-tracking benchmark
# (tools/bench-tracking.sh; skip it with BENCH_TRACKING=0). Every benchmark measures
# its anchor in the same run. Exits non-zero when a benchmark fails or a ratio is
# over its budget. Full output: <build>/logs/bench-*.log.
# Usage: tools/bench.sh [build-dir]
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cd "$top"

bash tools/bootstrap.sh || exit 1
mkdir -p "$build/logs"
status=0
summary=()

# Keeps a program's ratio lines for the summary; a failure or a ratio over its budget
# fails the run.
collect() { # name, log, exit code
  local name=$1 log=$2 rc=$3 line
  if [[ $rc -ne 0 ]]; then
    summary+=("$name: FAILED with exit code $rc (see $log)")
    status=1
  fi
  while IFS= read -r line; do
    summary+=("$line")
    [[ $line == *"OVER BUDGET"* ]] && status=1
  done < <(grep -E '(^|[ ,])ratio([ :]|$)' "$log")
}

names() { # directory -> benchmark program names
  local f
  for f in "$1"/*Bench.cpp; do
    [[ -e $f ]] && basename "$f" .cpp
  done
}

# --- native ----------------------------------------------------------------------
mapfile -t native < <(names bench)
echo "== native benchmarks: ${native[*]}"
if cmake -S . -B "$build/host" -DCMAKE_BUILD_TYPE=Release -DTOMARIN_BENCH=ON \
     >"$build/logs/bench-host-configure.log" 2>&1 &&
   cmake --build "$build/host" -j 2 --target "${native[@]}" >"$build/logs/bench-host-build.log" 2>&1; then
  for name in "${native[@]}"; do
    echo "-- $name"
    log="$build/logs/bench-$name.log"
    "$build/host/bin/$name" >"$log" 2>&1
    collect "$name" "$log" $?
  done
else
  summary+=("native: build failed (see $build/logs/bench-host-build.log)")
  status=1
fi

# --- under Wine ------------------------------------------------------------------
mapfile -t wine < <(names bench/win)
echo "== Wine benchmarks: ${wine[*]}"
if cmake -S . -B "$build/win64" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
     -DCMAKE_BUILD_TYPE=Release >"$build/logs/bench-win64-configure.log" 2>&1 &&
   cmake --build "$build/win64" -j 2 --target "${wine[@]}" wine_keepalive \
     >"$build/logs/bench-win64-build.log" 2>&1; then
  (
    source tools/wine-env.sh
    trap wine_env_stop EXIT
    wine_env_start_xvfb && wine_env_start_wine "$build" &&
      wine_env_keepalive "$build/win64/bin/wine_keepalive.exe" || exit 1
    rc_all=0
    for name in "${wine[@]}"; do
      echo "-- $name"
      # Output to a file only: Wine's helper processes would keep a pipe open.
      timeout 900 "$WINE_LOADER" "$build/win64/bin/$name.exe" </dev/null \
        >"$build/logs/bench-$name.log" 2>&1
      echo $? >"$build/logs/bench-$name.rc"
    done
  )
  for name in "${wine[@]}"; do
    log="$build/logs/bench-$name.log"
    rc=$(cat "$build/logs/bench-$name.rc" 2>/dev/null || echo 1)
    collect "$name" "$log" "$rc"
  done
else
  summary+=("Wine: build failed (see $build/logs/bench-win64-build.log)")
  status=1
fi

# --- idle tracking ---------------------------------------------------------------
if [[ ${BENCH_TRACKING:-1} != 0 && -f tools/bench-tracking.sh ]]; then
  echo "== idle tracking (tools/bench-tracking.sh)"
  log="$build/logs/bench-tracking.log"
  bash tools/bench-tracking.sh "$build" >"$log" 2>&1
  collect bench-tracking "$log" $?
fi

echo
echo "== Ratios"
printf '%s\n' "${summary[@]}"
if ((status)); then echo "RESULT: a benchmark failed or is over its budget"; else echo "RESULT: every benchmark within its budget"; fi
exit $status
