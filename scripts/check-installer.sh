#!/usr/bin/env bash
# Installs the Windows installer silently in a wine prefix of its own, as an administrator
# would for all users, checks what it put in place, starts the installed program, then
# uninstalls it and checks that nothing of it is left.
# Usage: scripts/check-installer.sh <setup.exe> <prefix folder>
set -euo pipefail
setup=$(realpath "$1")
export WINEPREFIX=$(realpath -m "$2")
rm -rf "$WINEPREFIX"
# No menu entries or file associations in the user's home: winemenubuilder stays off.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
fail() { echo "installer check: $*" >&2; exit 1; }

wineboot --init
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
wineserver --wait

programs="$WINEPREFIX/drive_c/Program Files/Corvane"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Corvane文件切割机"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\CorvaneSplitter'

wine "$setup" /S
wineserver --wait
[ -s "$programs/CorvaneSplitter/corvane-splitter.exe" ] || fail "the program was not installed"
[ -s "$programs/CorvaneSplitter/说明.txt" ] || fail "the read-me was not installed"
[ -s "$menu/Corvane文件切割机.lnk" ] || fail "no Start-menu shortcut for all users"
wine reg query "$key" /v UninstallString /reg:64 | grep -q 'uninstall.exe' ||
    fail "no uninstall entry in the 64-bit view of HKLM"
if wine reg query "$key" /reg:32 >/dev/null 2>&1; then
    fail "the uninstall entry is in the 32-bit view"
fi
# The list of programs shows a size: the installed files' KiB, not none or nothing.
size=$( (wine reg query "$key" /v EstimatedSize /reg:64 || true) | tr -d '\r' |
    awk '/EstimatedSize/ {print $3}')
[ -n "$size" ] && [ $((size)) -gt 100 ] || fail "the uninstall entry has no size (EstimatedSize: ${size:-none})"

# The installed program starts; still running when the timeout ends it means it started.
started=0
timeout 10 wine "$programs/CorvaneSplitter/corvane-splitter.exe" || started=$?
[ "$started" = 124 ] || fail "the installed program did not start (status $started)"
wineserver --kill || true
wineserver --wait

wine "$programs/CorvaneSplitter/uninstall.exe" /S
wineserver --wait
[ ! -e "$programs" ] || fail "the uninstaller left $(find "$programs" | head -n 5)"
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder"
if wine reg query 'HKLM\Software\Corvane' /reg:64 >/dev/null 2>&1; then
    fail "the uninstaller left HKLM\\Software\\Corvane"
fi
if wine reg query "$key" /reg:64 >/dev/null 2>&1; then
    fail "the uninstaller left its uninstall entry"
fi
wineserver --kill || true
echo "installer check: installed, started and uninstalled without a trace"
