#!/bin/sh
# pe-load-config.sh OBJDUMP EXE: points the PE header's Load Configuration
# directory at the section .ldcfg (platform/win32/load_config.cpp), which GNU ld
# 2.40 leaves empty. Runs after each link; a second run changes nothing.
set -eu
objdump=$1 exe=$2
byte_at() { od -An -tu"$2" -j"$1" -N"$2" "$exe" | tr -d ' '; }
# objdump -h: Idx Name Size VMA LMA File-off Algn
set -- $("$objdump" -h "$exe" | awk '$2 == ".ldcfg" { print $4, $6 }')
[ $# -eq 2 ] || { echo "$exe: no .ldcfg section" >&2; exit 1; }
base=$("$objdump" -p "$exe" | awk '$1 == "ImageBase" { print $2 }')
rva=$((0x$1 - 0x$base))
size=$(byte_at $((0x$2)) 4)  # the structure's own Size field
pe=$(byte_at 60 4)
case $(byte_at $((pe + 24)) 2) in
    267) dirs=$((pe + 24 + 96)) ;;   # PE32
    523) dirs=$((pe + 24 + 112)) ;;  # PE32+
    *) echo "$exe: not a PE image" >&2; exit 1 ;;
esac
le32() {
    printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"
}
{ le32 $rva; le32 "$size"; } | dd of="$exe" bs=1 seek=$((dirs + 10 * 8)) conv=notrunc status=none
