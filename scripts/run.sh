#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSPLITTER_BUILD_TESTS=OFF
cmake --build "$build"
exec "$build/src/qt/corvane-splitter"
