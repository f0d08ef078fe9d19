#!/usr/bin/env bash
# Lists the DLLs an exe imports and fails if any is not one of the system DLLs that
# Windows always loads from its system folder (a DLL beside the exe could be
# planted otherwise). Usage: tools/check_imports.sh EXE x86_64|i686
set -euo pipefail
exe=$1
arch=$2
allowed='^(kernel32|user32|gdi32|advapi32|msvcrt|comdlg32|shell32|ole32|ntdll)\.dll$'
dlls=$("${arch}-w64-mingw32-objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "$exe imports: $(echo $dlls)"
bad=$(echo "$dlls" | grep -Ev "$allowed" || true)
if [[ -n $bad ]]; then
  echo "not a known system DLL: $bad" >&2
  exit 1
fi
