#!/usr/bin/env bash
# Installs the Debian packages of debian-packages.txt that are not installed yet.
# Runs apt-get directly as root, through sudo otherwise; says so when neither can work.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
list="$here/debian-packages.txt"

missing=()
while read -r pkg; do
  pkg=${pkg%%#*}
  pkg=$(echo "$pkg" | tr -d '[:space:]')
  [ -n "$pkg" ] || continue
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$pkg")
done < "$list"

[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"

if [ "$(id -u)" -eq 0 ]; then
  run=()
elif command -v sudo >/dev/null 2>&1; then
  run=(sudo)
else
  echo "error: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  echo "Install them with your package manager, then run this again." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -q
# --no-remove: apt may pick a package that conflicts with one the user has (jackd1's development
# files against an installed jackd2, say) and would remove it to make room. Refuse instead.
if ! "${run[@]}" apt-get install -y -q --no-install-recommends --no-remove "${missing[@]}"; then
  echo "error: installing ${missing[*]} failed, or would have removed installed packages;" >&2
  echo "nothing was removed. Install them by hand, choosing what to keep." >&2
  exit 1
fi
