#!/usr/bin/env bash
# `cmake --install` into a temporary prefix puts the programs, the menu entry, the icons, the
# program files' MIME type, the metainfo, the manual pages and the user guide where the
# freedesktop conventions look for them, and each of them passes its validator.
# Usage: check-install.sh BUILD_DIR APP_ID MIME_TYPE VERSION
set -euo pipefail
build=$1 id=$2 mime=$3 version=$4
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
for file in bin/orvo-editor bin/orvo-sim bin/orvo-prg \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/mime/packages/$id.xml \
    share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/orvo-editor.1 share/man/man1/orvo-sim.1 share/man/man1/orvo-prg.1 \
    share/doc/orvo-editor/userguide.md share/doc/orvo-editor/Orvo_userguide-V122.pdf; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
for program in orvo-editor orvo-sim orvo-prg; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done
# Nothing of the build's own (tests, benchmarks, generators) goes along.
extra=$(ls "$prefix/bin" | grep -vxE 'orvo-editor|orvo-sim|orvo-prg' || true)
[ -z "$extra" ] || fail "bin/ holds more than the three programs: $extra"

# An icon of each size of the theme, a PNG of that size.
for size in 16 22 24 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -s "$icon" ] || fail "no ${size}x${size} icon"
  header=$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')
  [ "$header" = "$(printf '%08x%08x' "$size" "$size")" ] || fail "$icon is not ${size}x${size}"
done
xmllint --noout "$share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is not XML"

desktop=$share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
grep -qx 'Name=Orvo Editor' "$desktop" || fail "the menu entry is not named Orvo Editor"
grep -qx 'Exec=orvo-editor %f' "$desktop" || fail "the menu entry does not pass files with %f"
grep -qx "Icon=$id" "$desktop" || fail "the menu entry's icon is not $id"
grep -qx "MimeType=$mime;" "$desktop" || fail "the menu entry does not open $mime"

appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" ||
  fail "appstreamcli refuses the metainfo"
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo does not name release $version"

# The MIME database built from the installed type knows .prg files and the editor's own text.
update-mime-database "$share/mime" || fail "update-mime-database refuses the type"
grep -q "^50:$mime:\*\.prg\$" "$share/mime/globs2" || fail "no *.prg glob for $mime"
grep -q "$mime" "$share/mime/magic" || fail "no magic for $mime"

for page in orvo-editor orvo-sim orvo-prg; do
  warnings=$(LC_ALL=C.UTF-8 groff -t -man -ww -z "$share/man/man1/$page.1" 2>&1)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done

[ "$("$prefix/bin/orvo-editor" --version)" = "orvo-editor $version" ] ||
  fail "the installed editor does not give its version"
echo "installed into a prefix: all files in place and valid"
