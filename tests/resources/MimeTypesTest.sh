#!/usr/bin/env bash
# The desktop's file types as the shared MIME database decides them with Torvex's package
# installed: Touchstone files by name, .ts files by content only, so TypeScript and Qt
# Linguist files keep their own types. Skips (exit 77) without the MIME tools.
# Usage: MimeTypesTest.sh PATH/TO/torvex-mime.xml
set -u
package=$1
system=/usr/share/mime/packages/freedesktop.org.xml
for tool in update-mime-database gio; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -f "$system" ] || { echo "skipped: $system is missing"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data/mime/packages" "$work/none" "$work/files"
cp "$system" "$package" "$work/data/mime/packages/"
XDG_DATA_HOME="$work/data" XDG_DATA_DIRS="$work/none" update-mime-database "$work/data/mime" \
  || { echo "update-mime-database failed"; exit 1; }

f=$work/files
printf 'export function gain(db: number): number {\n  return Math.pow(10, db / 20);\n}\n' > "$f/gain.ts"
printf '<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n<TS version="2.1" language="de">\n</TS>\n' > "$f/app_de.ts"
printf '! Measured with a network analyser\n! Port 1 and 2\n[Version] 2.0\n# GHz S RI R 50\n[Number of Ports] 2\n[Network Data]\n' > "$f/filter.ts"
printf '[version] 2.1\n# GHz S MA R 50\n' > "$f/lower.ts"
printf '# MHz S DB R 50\n1 0 0 0 0 0 0 0 0\n' > "$f/amp.s2p"
printf '# MHz S DB R 50\n1 0 0\n' > "$f/LOAD.S1P"
printf '# MHz S DB R 50\n' > "$f/big.s12p"

failures=0
expect() {  # expect FILE TYPE | expect FILE !TYPE
  local got
  got=$(env XDG_DATA_HOME="$work/data" XDG_DATA_DIRS="$work/none" \
        gio info -a standard::content-type "$f/$1" 2>&1 | sed -n 's/^ *standard::content-type: //p')
  if [ "${2#!}" != "$2" ]; then
    [ "$got" != "${2#!}" ] && return
    echo "FAIL: $1 is $got, which it must not be"
  else
    [ "$got" = "$2" ] && return
    echo "FAIL: $1 is '${got}', not $2"
  fi
  failures=$((failures + 1))
}
expect gain.ts '!application/x-touchstone'
expect app_de.ts text/vnd.trolltech.linguist
expect filter.ts application/x-touchstone
expect lower.ts application/x-touchstone
expect amp.s2p application/x-touchstone-s2p
expect LOAD.S1P application/x-touchstone
expect big.s12p application/x-touchstone
[ "$failures" -eq 0 ] && echo "all file types as expected"
exit "$((failures > 0))"
