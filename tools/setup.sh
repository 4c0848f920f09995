#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the program and its
# Debian package need (only those missing), then configures and builds into
# build/ (or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(qt6-base-dev qt6-translations-l10n cmake g++ make xvfb xauth
    fonts-dejavu-core fonts-liberation2 poppler-utils clang libclang-rt-14-dev
    dpkg-dev file desktop-file-utils appstream man-db strace)
tools/install_missing.sh "${packages[@]}"

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
