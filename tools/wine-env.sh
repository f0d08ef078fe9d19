# Sourced by the run and test commands: a private X display and a private Wine
# prefix inside the build tree. Everything started here is stopped by PID in
# wine_env_stop (call it from an EXIT trap).

WINE_LOADER=/usr/lib/wine/wine64
WINE_SERVER=/usr/lib/wine/wineserver
WINE_ENV_PIDS=()

# Starts Xvfb on a free display number and exports DISPLAY.
wine_env_start_xvfb() {
  local n=90
  while [[ -e /tmp/.X${n}-lock || -e /tmp/.X11-unix/X${n} ]]; do n=$((n + 1)); done
  Xvfb ":${n}" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  WINE_ENV_PIDS+=($!)
  export DISPLAY=":${n}"
  local i
  for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "wine-env: Xvfb did not start on ${DISPLAY}" >&2
  return 1
}

wine_reg() { "$WINE_LOADER" reg add "$@" /f </dev/null >/dev/null 2>&1; }

# Exports the Wine variables for a prefix under $1 and starts its server; creates
# and configures the prefix on first use.
wine_env_start_wine() {
  local build=$1
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  # The Japanese ANSI code page, as on our users' systems.
  if locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  fi
  local fresh=0
  [[ -f "$WINEPREFIX/system.reg" ]] || fresh=1
  mkdir -p "$WINEPREFIX"
  # A server of our own, in the foreground so that its PID is ours to stop; -p keeps
  # it alive between the tests.
  "$WINE_SERVER" -f -p </dev/null >/dev/null 2>&1 &
  WINE_ENV_PIDS+=($!)
  if ((fresh)); then
    "$WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1 || true
    # A crashing program must end with a failure code, not open a debugger dialog.
    wine_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d ''
    # No window manager: otherwise every hide or exit waits for one.
    wine_reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
    wine_reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y
    local key='HKCU\Software\Wine\Fonts\Replacements'
    wine_reg "$key" /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic
    wine_reg "$key" /v 'MS PGothic' /t REG_SZ /d IPAPGothic
    wine_reg "$key" /v 'MS UI Gothic' /t REG_SZ /d IPAPGothic
    wine_reg "$key" /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic
    wine_reg "$key" /v 'MS Gothic' /t REG_SZ /d IPAGothic
    wine_reg "$key" /v 'MS Shell Dlg' /t REG_SZ /d IPAPGothic
    wine_reg "$key" /v 'Tahoma' /t REG_SZ /d IPAPGothic
  fi
}

# Keeps Wine's desktop process alive between test programs (it would otherwise
# close a second after each one and restart with the next).
wine_env_keepalive() {
  local exe=$1
  [[ -f "$exe" ]] || return 0
  "$WINE_LOADER" "$exe" </dev/null >/dev/null 2>&1 &
  WINE_ENV_PIDS+=($!)
}

wine_env_stop() {
  if [[ -n "${WINEPREFIX:-}" ]]; then
    "$WINE_SERVER" -k </dev/null >/dev/null 2>&1 || true
  fi
  local pid
  for pid in "${WINE_ENV_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${WINE_ENV_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  WINE_ENV_PIDS=()
}
