#!/usr/bin/env bash
# The Debian package: its file list and dependencies as dpkg-deb reads them, then the program
# from it. Inside CI (CI set), as root, and with no orvo-editor package of the user's on the
# machine, the package is installed with dpkg -i and removed again; otherwise it is unpacked
# with dpkg-deb -x. Either way the program answers --version, starts offscreen, takes a
# program file from a second start, and quits on a termination signal.
# Usage: check-deb.sh CPACK_CONFIG APP_ID VERSION
set -euo pipefail
config=$1 id=$2 version=$3
work=$(mktemp -d)
installed=""
editor=""
cleanup() {
  [ -n "$editor" ] && kill "$editor" 2>/dev/null || true
  [ -n "$installed" ] && dpkg -r orvo-editor >/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cpack --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2
  fail "cpack could not make the package"
}
deb=$(ls "$work"/out/orvo-editor_*.deb)
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "orvo-editor_${version}_$arch.deb" ] || fail "package file $deb"
[ "$(dpkg-deb -f "$deb" Package)" = orvo-editor ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "package architecture"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/orvo-editor ./usr/bin/orvo-sim ./usr/bin/orvo-prg \
    ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/mime/packages/$id.xml ./usr/share/icons/hicolor/48x48/apps/$id.png \
    ./usr/share/icons/hicolor/scalable/apps/$id.svg ./usr/share/man/man1/orvo-editor.1 \
    ./usr/share/doc/orvo-editor/userguide.md; do
  grep -qxF "$file" <<<"$files" || fail "the package lacks $file"
done
outside=$(grep -vE '^\./$|^\./usr(/|$)' <<<"$files" || true)
[ -z "$outside" ] || fail "the package puts files outside /usr: $outside"
programs=$(grep -E '^\./usr/bin/.' <<<"$files" | sort | tr '\n' ' ')
[ "$programs" = "./usr/bin/orvo-editor ./usr/bin/orvo-prg ./usr/bin/orvo-sim " ] ||
  fail "the package's programs are $programs"

# Debian's run-time packages of what the programs link (zlib comes with libpng16-16).
depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 \
    librtmidi libpng16-16; do
  case ", $depends" in
    *", $package"*) ;;
    *) fail "Depends lacks $package: $depends" ;;
  esac
done
if grep -qE -- '-dev( |,|$)' <<<"$depends"; then fail "Depends names development packages"; fi

if [ -n "${CI:-}" ] && [ "$(id -u)" -eq 0 ] &&
    ! dpkg-query -W -f='${Status}' orvo-editor 2>/dev/null | grep -q installed; then
  dpkg -i "$deb" >/dev/null || fail "dpkg -i refuses the package"
  installed=yes
  root=""
  echo "installed with dpkg -i"
else
  dpkg-deb -x "$deb" "$work/root"
  root=$work/root
  echo "unpacked with dpkg-deb -x"
fi
program=$root/usr/bin/orvo-editor
if ldd "$program" | grep -q 'not found'; then fail "libraries missing: $(ldd "$program")"; fi
[ "$(env -u DISPLAY "$program" --version)" = "orvo-editor $version" ] || fail "--version"

mkdir -p "$work/config" "$work/run"
chmod 700 "$work/run"
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=offscreen
export JACK_DEFAULT_SERVER=orvo-no-server
"$program" >"$work/first.log" 2>&1 &
editor=$!
for _ in $(seq 200); do
  [ -S "$work/run/OrvodyneEditor" ] && break
  kill -0 "$editor" 2>/dev/null || fail "the editor ended at start: $(cat "$work/first.log")"
  sleep 0.1
done
[ -S "$work/run/OrvodyneEditor" ] || fail "the editor does not listen for a second start"
for slot in $(seq 104); do printf '%d\r\n' $((slot % 50)); done >"$work/bass.prg"
(cd "$work" && timeout -k 10 20 "$program" bass.prg) || fail "the second start did not end with 0"
for _ in $(seq 100); do
  grep -q "raising the main window" "$work/first.log" && break
  sleep 0.1
done
grep -q "raising the main window" "$work/first.log" || fail "the running editor was not raised"
kill -TERM "$editor"
# SIGTERM is handled through the event loop: an editor that does not end in 20 s is killed.
for _ in $(seq 200); do
  kill -0 "$editor" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$editor" 2>/dev/null; then
  kill -KILL "$editor"
  wait "$editor" || true
  editor=""
  fail "the editor did not end on SIGTERM: $(cat "$work/first.log")"
fi
status=0
wait "$editor" || status=$?
editor=""
[ "$status" -eq 0 ] || fail "the editor ended with $status: $(cat "$work/first.log")"
grep -qx "lastfile=$work/bass.prg" "$work/config/OrvodyneEditor/settings.ini" ||
  fail "the running editor did not load the handed file"
echo "the packaged editor starts, takes a file from a second start and quits"
