#!/usr/bin/env bash
# Builds the Debian package ottavario_<version>_<arch>.deb: a release build of
# the two programs in build-pkg/ (no tests, no benchmarks), put in place with
# the menu entry, icon, metadata and manual pages by `cmake --install`, packed
# by CPack with the dependencies dpkg-shlibdeps reads from the binaries. The
# build's messages go to stderr; stdout has one line, the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build-pkg}
BUILD_DIR=$build_dir tools/setup.sh -DCMAKE_BUILD_TYPE=Release \
    -DOTTAVARIO_TESTS=OFF -DOTTAVARIO_BENCH=OFF >&2
report=$(cd "$build_dir" && cpack -G DEB)
echo "$report" >&2
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$report")
[ -f "$deb" ] || { echo "cpack made no package" >&2; exit 1; }
echo "$deb"
