#!/usr/bin/env bash
# Installs the Debian packages of the given lists (files beside this script,
# packages.txt when none is named) that are missing; does nothing when all
# are there.
#
#   install-deps.sh [LIST...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
(($# > 0)) || set -- packages.txt

missing=()
for list in "$@"; do
  [[ -f "$here/$list" ]] || { echo "install-deps.sh: no package list $here/$list" >&2; exit 2; }
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == installed ]] || missing+=("$pkg")
  done <"$here/$list"
done

((${#missing[@]} == 0)) && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
