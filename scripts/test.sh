#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test suite.
#
#   bash scripts/test.sh             every part, in this order (what CI runs)
#   bash scripts/test.sh PART...     only these parts: linux package address thread fuzz
#                                    windows installer
# A part builds what it needs itself, so each runs alone on a fresh clone.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh

all_parts=(linux package address thread fuzz windows installer)
if [ "$#" -eq 0 ]; then
    set -- "${all_parts[@]}"
fi
for part in "$@"; do
    if [[ " ${all_parts[*]} " != *" $part "* ]]; then
        echo "Unknown part \"$part\". The parts are: ${all_parts[*]}" >&2
        exit 2
    fi
done

# The version is project()'s, and nowhere else.
version=$(sed -n 's/^project([^)]*VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

install_missing_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${WINDOWS_TEST_PACKAGES[@]}" \
    "${SANITIZER_PACKAGES[@]}"

# How long each part of the run took, printed as it ends.
mark=$SECONDS
took() {
    echo "test.sh: $1 took $((SECONDS - mark)) s"
    mark=$SECONDS
}
took "installing packages"

build=build/test
windows=build/windows

build_linux() {
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPLITTER_WARNINGS_AS_ERRORS=ON
    cmake --build "$build"
}

part_linux() {
    build_linux
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure --timeout 300
}

# The Debian package, installed as a user would and started without a display. The program
# has no command line: still running when the timeout ends it means it started; timeout
# kills it two seconds later should it not end, so nothing is left behind.
part_package() {
    build_linux
    (cd "$build" && cpack -G DEB)
    apt-get -o DPkg::Lock::Timeout=900 install -y -qq "$PWD/$build/corvane-splitter_${version}_amd64.deb"
    local started=0
    QT_QPA_PLATFORM=offscreen timeout -k 2 5 /usr/bin/corvane-splitter || started=$?
    if [ "$started" != 124 ]; then
        echo "The installed program did not start (status $started)." >&2
        exit 1
    fi
}

# The suites without a window (runtime, engine, window rules) under AddressSanitizer with
# UndefinedBehaviorSanitizer (with the fuzz targets), or under ThreadSanitizer (the hashes
# run on helper threads); any report fails the run. The 5 GB test is left to the plain build.
build_sanitized() {
    local sanitizer=$1 fuzz=OFF
    if [ "$sanitizer" = address ]; then fuzz=ON; fi
    CC=clang CXX=clang++ cmake -S . -B "build/$sanitizer" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSPLITTER_WARNINGS_AS_ERRORS=ON -DSPLITTER_BUILD_GUI=OFF \
        -DSPLITTER_SANITIZE="$sanitizer" -DSPLITTER_FUZZ="$fuzz"
    cmake --build "build/$sanitizer"
}

sanitizer_options() {
    export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export TSAN_OPTIONS=halt_on_error=1 SPLITTER_TEST_TIME_FACTOR=4
}

part_address() {
    build_sanitized address
    (sanitizer_options && ctest --test-dir build/address --output-on-failure --timeout 300 \
        -E '^SlowLargePieces')
}

part_thread() {
    build_sanitized thread
    (sanitizer_options && ctest --test-dir build/thread --output-on-failure --timeout 300 \
        -E '^SlowLargePieces')
}

# Every fuzz target from its seed corpus, a minute each.
part_fuzz() {
    build_sanitized address
    (sanitizer_options && scripts/fuzz.sh build/address 60)
}

build_windows() {
    cmake -S . -B "$windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPLITTER_WARNINGS_AS_ERRORS=ON
    cmake --build "$windows"
}

# The Windows program, the engine, the runtime and their suites as Windows programs, run
# under wine without a display, on a Chinese and an English Windows (code pages 936, and
# 1252 with 437), each with a UTF-8 locale for wine's file names.
part_windows() {
    build_windows
    for locale in zh_CN en_US; do
        if [ ! -d "$windows/locale/$locale.UTF-8" ]; then
            mkdir -p "$windows/locale"
            localedef -i "$locale" -f UTF-8 "$windows/locale/$locale.UTF-8"
        fi
    done
    (
        export LOCPATH="$PWD/$windows/locale" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
        export WINEPREFIX="$PWD/$windows/wine" WINEDEBUG=-all
        export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
        # A failed suite must not leave the persistent server behind: the next run's
        # `wineserver --wait` would wait for it for ever.
        trap 'wineserver --kill || true' EXIT
        wineboot --init
        # No display: wine's null graphics driver, taken up by a fresh wineserver, which then
        # stays for the whole part so that each suite starts cheaply.
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
        wineserver --wait
        wineserver --persistent
        # The first program after a fresh server sets the session up; let that be done first.
        timeout 120 wine cmd /c exit 0 || true
        ctest --test-dir "$windows" --output-on-failure --timeout 300
        wineserver --kill || true
        # The engine again on an English Windows: sets made on the other systems must merge there.
        LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 wine "$windows/tests/engine/engine_tests.exe"
        wineserver --kill || true
    )
}

# The zip and the installer a Windows user gets.
part_installer() {
    build_windows
    cmake --build "$windows" --target windows-packages
    local zip="$windows/corvane-splitter-${version}-windows.zip"
    # What the zip and the installer carry needs nothing that only wine provides.
    scripts/check-windows-imports.sh "$windows/src/win32/package/corvane-splitter.exe"
    unzip -l "$zip" | grep -q corvane-splitter.exe
    # The read-me as Windows' extractor and Notepad show it: an ASCII name, a UTF-8 mark, CR LF.
    local readme
    readme=$(unzip -p "$zip" readme.txt | od -An -tx1 | tr -d ' \n')
    case "$readme" in
    efbbbf*0d0a*) ;;
    *) echo "The zip's readme.txt lacks its UTF-8 mark or CR LF line ends." >&2; exit 1 ;;
    esac
    if unzip -p "$zip" readme.txt | grep -q -v $'\r$'; then
        echo "The zip's readme.txt has a line without CR LF." >&2
        exit 1
    fi
    # The 64-bit installer as an administrator runs it, silently, in a wine prefix of its own:
    # installed, started, uninstalled, nothing left.
    scripts/check-installer.sh "$windows/corvane-splitter-${version}-setup.exe" \
        "$windows/installer-prefix"
}

for part in "$@"; do
    "part_$part"
    took "the $part part"
done
