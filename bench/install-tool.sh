#!/usr/bin/env bash
# Installs a Debian package that only the comparisons need (hyperfine,
# ripgrep), so that it never slows a build: install-tool.sh PACKAGE [COMMAND].
set -euo pipefail
package=${1:?usage: install-tool.sh PACKAGE [COMMAND]}
command=${2:-$package}
command -v "$command" >/dev/null && exit 0
echo "Installing $package (Debian package) for the timings"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get install -y -q --no-install-recommends "$package" >/dev/null 2>&1 ||
  { "${sudo[@]}" apt-get update -q >/dev/null && "${sudo[@]}" apt-get install -y -q --no-install-recommends "$package" >/dev/null; }
