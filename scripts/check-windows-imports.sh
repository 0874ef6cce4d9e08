#!/usr/bin/env bash
# Fails when a Windows program needs a DLL that Windows itself does not ship. Wine brings
# builtin copies of some libraries (zlib1.dll among them), so a program that starts under
# wine may still fail to start on Windows: its import table is what tells.
# Usage: scripts/check-windows-imports.sh <program.exe>
set -euo pipefail
system='advapi32|bcrypt|comctl32|comdlg32|gdi32|kernel32|msvcrt|ntdll|ole32|oleaut32|shell32|shlwapi|user32|uxtheme|version|ws2_32'
imports=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
foreign=$(printf '%s\n' "$imports" | grep -v -E "^($system)\.dll$" || true)
if [ -n "$foreign" ]; then
    echo "$1 needs DLLs that Windows does not ship: $(echo $foreign)" >&2
    exit 1
fi
echo "$1 needs only Windows' own DLLs: $(echo $imports)"
