#!/usr/bin/env bash
# Makes sure this Debian/Ubuntu machine has what the build and the tests need.
# As root it installs what is missing; otherwise it prints the apt-get line and stops.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-dev googletest libgtest-dev libbenchmark-dev libstb-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64
  binutils-mingw-w64-i686 wine64 xvfb x11-utils imagemagick fonts-ipafont-gothic
  locales python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  if [[ $(id -u) -ne 0 ]]; then
    echo "bootstrap: missing packages. Run as root:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "bootstrap: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq </dev/null
  apt-get install -y -qq "${missing[@]}" </dev/null >/dev/null
fi

# Wine under a Japanese locale uses the Japanese ANSI code page, as our users'
# systems do.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "bootstrap: the ja_JP.UTF-8 locale is missing. Run as root:" >&2
    echo "  sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen && locale-gen" >&2
    exit 1
  fi
  sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
