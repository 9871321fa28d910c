#!/usr/bin/env bash
# hyperfine is only needed by the comparisons, so it is installed by them and
# never slows a build.
set -euo pipefail
command -v hyperfine >/dev/null && exit 0
echo "Installing hyperfine (Debian package) for the timings"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get install -y -q --no-install-recommends hyperfine >/dev/null 2>&1 ||
  { "${sudo[@]}" apt-get update -q >/dev/null && "${sudo[@]}" apt-get install -y -q --no-install-recommends hyperfine >/dev/null; }
