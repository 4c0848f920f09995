#!/usr/bin/env bash
# Checks a Debian package of Ottavario without installing it: the files it
# holds and who owns them, the companion's printer module, its dependencies,
# the menu entry, the metadata, the manual pages and the two programs' answers
# to --version and --help.
set -euo pipefail
deb=$(realpath "${1:?usage: tools/check_package.sh FILE.deb}")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "$deb: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$root"
cd "$root"

id=org.ottavario.Ottavario
expected="./usr/bin/ottavario
./usr/bin/ottavario-cli
./usr/lib/ottavario/ottavario_printer.so
./usr/share/applications/$id.desktop
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/ottavario-cli.1.gz
./usr/share/man/man1/ottavario.1.gz
./usr/share/metainfo/$id.metainfo.xml"
for size in 16 22 24 32 48 64 128 256; do
    expected+=$'\n'"./usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
diff -u <(sort <<<"$expected") <(find . ! -type d | sort) >&2 \
    || fail "the files differ from those expected (- missing, + unexpected)"
owners=$(dpkg-deb -c "$deb" | awk '{ print $2 }' | sort -u)
[ "$owners" = root/root ] || fail "files owned by $owners"

version=$(dpkg-deb -f "$deb" Version)
[ "$(usr/bin/ottavario-cli --version)" = "ottavario-cli $version" ] \
    || fail "ottavario-cli --version does not say $version"
help=$(usr/bin/ottavario-cli --help) && grep -q '^  ottavario-cli compute' <<<"$help" \
    || fail "ottavario-cli --help shows no usage"

# The companion prints on a printer through its module, looked for by a path
# relative to its own folder; it must not need PrintSupport or Widgets itself.
# (No grep -q here: a reader cut short fails the pipeline.)
module=usr/lib/ottavario/ottavario_printer.so
nm -D --defined-only "$module" | grep -w ottavario_print_on_default_printer >/dev/null \
    || fail "$module lacks its entry point"
strings -e l usr/bin/ottavario-cli | grep -xF ../lib/ottavario >/dev/null \
    || fail "ottavario-cli does not look for its module in ../lib/ottavario"
if readelf -d usr/bin/ottavario-cli | grep -E 'NEEDED.*libQt6(Widgets|PrintSupport)' >/dev/null; then
    fail "ottavario-cli needs Widgets or PrintSupport"
fi

depends=$(dpkg-deb -f "$deb" Depends)
names=$(sed 's/ ([^)]*)//g; s/, /\n/g' <<<"$depends")
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    fonts-dejavu-core fonts-liberation2 qt6-translations-l10n; do
    grep -qxF "$needed" <<<"$names" || fail "Depends lacks $needed: $depends"
done

desktop=usr/share/applications/$id.desktop
problems=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$problems" ] || fail "$problems"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "usr/bin/${exec_line%% *}" ] || fail "the menu entry starts $exec_line, not in usr/bin"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$id" ] || fail "the menu entry names another icon"

appstreamcli validate --no-net "usr/share/metainfo/$id.metainfo.xml" >&2 \
    || fail "the metadata are not valid"

for page in usr/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done
echo "package checked: $deb"
