#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (only those
# missing), then configures and builds into build/ (or $BUILD_DIR); arguments
# go to cmake. The fuzzers' compiler is installed by tools/fuzz.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    qt6-base-dev cmake g++ make # the build
    clang-format # tools/check_format.sh
    fonts-dejavu-core fonts-liberation2 # the faces the pages are drawn and measured with
    poppler-utils # pdftotext and pdfinfo read the PDF files the tests write
    strace # test_copy_interrupted stops a copy at a chosen call
    dpkg-dev file # tools/package.sh: dpkg-shlibdeps finds the Depends
    desktop-file-utils appstream man-db # tools/check_package.sh
)
tools/install_missing.sh "${packages[@]}"

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
