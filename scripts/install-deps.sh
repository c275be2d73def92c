#!/usr/bin/env bash
# Installs what building, running and testing Kestrum needs on Debian 12, and
# nothing when it is all there already.
set -euo pipefail

packages=(
    cmake make g++ libgtest-dev googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine wine64 xvfb x11-utils xdotool imagemagick nsis
    clang libclang-rt-dev clang-tidy clang-format cppcheck
    # Wine's own fonts (the title bars' buttons are drawn with its Marlett), and the
    # fonts the Wine prefixes show Times New Roman and Verdana in
    fonts-wine fonts-liberation
    # a STUN server for IP.EXE's tests, a build cache, and the private network namespace
    coturn ccache iproute2 util-linux
    # a home router for the router tests: the UPnP router daemon, its client, its firewall
    miniupnpd-iptables miniupnpc iptables
    # this computer's name resolves even where /etc/hosts does not name it (the host lookup tests)
    libnss-myhostname
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
