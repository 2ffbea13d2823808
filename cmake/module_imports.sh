#!/bin/sh
# Usage: module_imports.sh MODULE LIST SCRIPT ARCHIVE...
# Writes the symbols MODULE leaves undefined that one of the ARCHIVEs defines, as a dynamic list
# (LIST: the program exports them) and as a linker script (SCRIPT: the program keeps them).
set -eu
module=$1 list=$2 script=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
nm -D --undefined-only "$module" | awk '{ sub(/@.*/, "", $NF); print $NF }' | sort -u >"$work/undefined"
nm --defined-only --extern-only "$@" 2>/dev/null | awk 'NF == 3 { print $3 }' | sort -u >"$work/defined"
comm -12 "$work/undefined" "$work/defined" >"$work/names"
{ echo '{'; sed 's/.*/  &;/' "$work/names"; echo '};'; } >"$list"
{ echo 'EXTERN('; cat "$work/names"; echo ')'; } >"$script"
