#!/bin/bash
# Checks what a host's loader sees of a built plug-in library: its object format, that `main` is its only
# export, and for Windows DLLs that it imports nothing but DLLs every Windows installation has.
# Usage: check_artifact.sh --objdump TOOL --nm TOOL --format FORMAT FILE
# FORMAT is objdump's name for it: elf64-x86-64, elf32-i386, pei-i386 or pei-x86-64.
# Reports every problem it finds and exits non-zero if there was one.
set -u

objdump=objdump
nm=nm
format=
while [ $# -gt 1 ]; do
    case $1 in
    --objdump) objdump=$2 ;;
    --nm) nm=$2 ;;
    --format) format=$2 ;;
    *) break ;;
    esac
    shift 2
done
file=${1:-}
[ $# -eq 1 ] && [ -n "$format" ] || {
    echo "usage: $0 --objdump TOOL --nm TOOL --format FORMAT FILE" >&2
    exit 2
}

# Windows ships these with every installation; a compiler runtime (libgcc, libstdc++, libwinpthread) is not.
system_dlls=" kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
    comctl32.dll comdlg32.dll winmm.dll imm32.dll uxtheme.dll dwmapi.dll version.dll shlwapi.dll msimg32.dll "

problems=0
imports=
problem() {
    echo "PROBLEM: $file: $*"
    problems=$((problems + 1))
}

[ -f "$file" ] || {
    echo "PROBLEM: $file does not exist"
    exit 1
}
command -v "$objdump" >/dev/null || {
    echo "PROBLEM: $objdump not found (Debian package binutils or binutils-mingw-w64)"
    exit 1
}

actual_format=$("$objdump" -f "$file" 2>&1 | sed -n 's/.*file format \(.*\)$/\1/p')
[ "$actual_format" = "$format" ] || problem "is '${actual_format:-unreadable}', expected $format"

case $format in
elf*)
    command -v "$nm" >/dev/null || {
        echo "PROBLEM: $nm not found (Debian package binutils)"
        exit 1
    }
    # Third column is the name; undefined symbols are left out by --defined-only.
    exports=$("$nm" -D --defined-only "$file" | awk '{ print $NF }' | sort -u)
    main_type=$("$nm" -D --defined-only "$file" | awk '$NF == "main" { print $(NF - 1) }')
    [ "$main_type" = "T" ] || problem "main is not a defined global function (nm type '${main_type:-none}')"
    ;;
pei*)
    dump=$("$objdump" -p "$file")
    exports=$(echo "$dump" | awk '/^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
        names && NF == 0 { names = 0 }
        names && /^[ \t]*\[ *[0-9]+\]/ { print $NF }' | sort -u)
    imports=$(echo "$dump" | sed -n 's/^[ \t]*DLL Name: \(.*\)$/\1/p')
    for dll in $imports; do
        lower=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
        case $system_dlls in
        *" $lower "*) ;;
        *) problem "imports non-system DLL $dll" ;;
        esac
    done
    ;;
*)
    echo "usage: unknown format '$format'" >&2
    exit 2
    ;;
esac

for name in $exports; do
    [ "$name" = main ] || problem "exports $name besides main"
done
echo "$exports" | grep -qx main || problem "does not export main"

if [ "$problems" -gt 0 ]; then
    echo "$file: $problems problem(s)"
    exit 1
fi
echo "ok: $file is $format, exports main alone${imports:+, imports $(echo $imports)}"
