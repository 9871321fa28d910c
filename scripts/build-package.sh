#!/usr/bin/env bash
# Builds the Debian package in a Release build of its own and prints the
# package's path.
#
#   build-package.sh BUILD_DIR
#
# The compiler and linker flags are Debian's own with every hardening option
# (dpkg-buildflags: fortify, stack protector, relro, bindnow), as a package
# built by the distribution would have them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:?usage: build-package.sh BUILD_DIR}")
jobs=${JOBS:-$(nproc)}

# From the source folder: the flags map it to "." in the debug paths, and
# the same flags from wherever this runs keep the build from starting over.
cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# The programs are stripped and no debug package is made, so debug
# information would only cost build time.
export DEB_CXXFLAGS_MAINT_STRIP=-g
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DNORVANE_TESTS=OFF -DNORVANE_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j "$jobs"
# No package of an earlier build may pass for this one.
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
packages=("$build"/*.deb)
[[ ${#packages[@]} == 1 && -f ${packages[0]} ]] || { echo "build-package.sh: cpack made no package" >&2; exit 1; }
realpath "${packages[0]}"
