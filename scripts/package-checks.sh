# Sourced by the test script: checks of what users download (the programs' PE
# headers, the portable zip).
# pe_check EXE PRESET: ASLR, DEP (and high-entropy VA on 64-bit), GUI or console
# as built, and imports from system DLLs only (nothing of MinGW's runtime).
pe_check() {
    local exe=$1 preset=$2 triple headers
    case $preset in
        win64) triple=x86_64-w64-mingw32 ;;
        *) triple=i686-w64-mingw32 ;;
    esac
    headers=$("$triple-objdump" -p "$exe") || return 1
    grep -q 'DYNAMIC_BASE' <<<"$headers" || { echo "$exe: no ASLR"; return 1; }
    grep -q 'NX_COMPAT' <<<"$headers" || { echo "$exe: no DEP"; return 1; }
    if [ "$preset" = win64 ]; then
        grep -q 'HIGH_ENTROPY_VA' <<<"$headers" || { echo "$exe: no high-entropy VA"; return 1; }
    fi
    local dll bad=0
    while read -r dll; do
        case ${dll,,} in
            kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | ws2_32.dll | wininet.dll | \
                iphlpapi.dll | comctl32.dll | ole32.dll | oleaut32.dll | msvcrt.dll | api-ms-win-*) ;;
            *) echo "$exe imports $dll"; bad=1 ;;
        esac
    done < <(sed -n 's/.*DLL Name: //p' <<<"$headers")
    return $bad
}

# zip_check ZIP: the portable zip holds exactly the two programs and Info.doc.
zip_check() {
    local listing
    listing=$(cmake -E tar tf "$1" | sort | tr '\n' ' ') || return 1
    [ "$listing" = "IP.EXE Info.doc kestrum.exe " ] || { echo "$1 holds: $listing"; return 1; }
}
