# Sourced by the run and test scripts: a private Wine prefix and, when needed, a
# private Xvfb display. Only what is started here is stopped here.

# wine_env_start PREFIX_DIR [headless [FIRST_DISPLAY_NUMBER]]
wine_env_start() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    # The tests use folder names with non-ASCII letters: Wine needs a UTF-8 locale.
    export LANG=${LANG:-C.UTF-8}
    # No Mono or Gecko installers: the programs here need neither.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    KESTRUM_XVFB_PID=""
    if [ "${2:-}" = headless ] || [ -z "${DISPLAY:-}" ]; then
        local n=${3:-90}
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
        # Room for the largest window at 200%: windows never grow past the screen.
        Xvfb ":$n" -screen 0 2560x1600x24 -nolisten tcp >/dev/null 2>&1 &
        KESTRUM_XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
    fi
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine wineboot --init >/dev/null 2>&1 || true
        # A crash ends the process instead of waiting in the debugger.
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1 || true
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1 || true
        # Wine's own fonts, Marlett among them, which draws the title bars' buttons:
        # in the prefix's font folder, where every Wine release looks for them.
        local font
        for font in /usr/share/wine/fonts/*.ttf; do
            [ -e "$font" ] && ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
        done
        # Neither Times New Roman nor Verdana is installed here: each is shown in a
        # font named here, so that text takes the same room whichever other fonts a
        # machine has. Times New Roman's metric twin keeps the How-To link on one
        # line. Verdana has no free twin: the nearest in width, DejaVu Sans, is a
        # little wider and would wrap labels that Verdana just fits; Liberation Sans
        # is narrower.
        local face
        for face in 'Times New Roman=Liberation Serif' 'Verdana=Liberation Sans'; do
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${face%%=*}" /d "${face#*=}" /f >/dev/null 2>&1 || true
        done
    fi
    wineserver -w 2>/dev/null || true
}

wine_env_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k 2>/dev/null || true
    fi
    if [ -n "${KESTRUM_XVFB_PID:-}" ]; then
        kill "$KESTRUM_XVFB_PID" 2>/dev/null || true
        wait "$KESTRUM_XVFB_PID" 2>/dev/null || true
        KESTRUM_XVFB_PID=""
    fi
}
