#!/usr/bin/env bash
# Installs what Pellmark needs from Debian's packages; a fast no-op when all is there.
#   scripts/deps.sh build   what building and running needs
#   scripts/deps.sh test    that, plus what the tests need
set -euo pipefail
what=${1:-build}

build_pkgs=(cmake g++ make pkg-config libcairo2-dev libfontconfig-dev libfreetype-dev
  libcups2-dev libpaper-dev zlib1g-dev fonts-liberation2 fontconfig)
test_pkgs=(libgtest-dev libgmock-dev googletest cups-daemon cups-client cups-bsd poppler-utils
  ghostscript clang libclang-rt-14-dev valgrind python3 tmux procps clang-format)
extra_file=$(dirname "$0")/deps-extra.txt

pkgs=("${build_pkgs[@]}")
if [ "$what" = test ]; then
  pkgs+=("${test_pkgs[@]}")
  # Further test packages (cross compilers, Wine, Xvfb) are listed one per line.
  if [ -f "$extra_file" ]; then
    while read -r p; do [ -n "$p" ] && [ "${p#\#}" = "$p" ] && pkgs+=("$p"); done <"$extra_file"
  fi
fi

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "deps: installing ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q >/dev/null
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
