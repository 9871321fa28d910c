#!/usr/bin/env bash
# The Debian package as a user gets it: built as `make package` builds it,
# its file list and control fields, lintian's verdict, and the programs run
# from the unpacked package (norvane-search on the samples, Norvane finding
# its help where the package put it).
#
#   package_test.sh SOURCE_DIR PACKAGE_BUILD_DIR
set -euo pipefail
src=${1:?usage: package_test.sh SOURCE_DIR PACKAGE_BUILD_DIR}
build=${2:?usage: package_test.sh SOURCE_DIR PACKAGE_BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/norvane-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

deb=$("$src/scripts/build-package.sh" "$build" | tail -n 1)
echo "package: $deb"

# Exactly these files, nothing of the build or the tests.
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | LC_ALL=C sort >"$work/files"
diff -u "$here/package_files.txt" "$work/files" || fail "the package's files differ from package_files.txt"

# Compressed as Debian wants: no name or time stamp in the gzip header.
dpkg-deb -x "$deb" "$work/root"
for gz in "$work/root"/usr/share/man/man1/*.gz "$work/root"/usr/share/doc/norvane/changelog.gz; do
  gzip -t "$gz" || fail "${gz#"$work/root"} is no gzip file"
  [[ $(od -An -tx1 -j3 -N5 "$gz" | tr -d ' ') == 0000000000 ]] || fail "${gz#"$work/root"} keeps a name or time"
done

# The libraries come from dpkg-shlibdeps, the fonts from the package's own list.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in fonts-ipafont-gothic libqt6widgets6 libqt6printsupport6 libcups2 libc6; do
  [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed"
done

# Every tag fails, down to the pedantic ones, but those that the package's
# overrides keep (each with its reason there); so does a lintian that could
# not run.
status=0
lintian --pedantic --display-info --display-experimental --fail-on error,warning,info,pedantic \
  --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || status=$?
cat "$work/lintian"
case $status in
0) [[ -s $work/lintian ]] || echo "lintian --pedantic: no tags" ;;
2) fail "lintian --pedantic reports tags" ;;
*) fail "lintian did not run (exit $status)" ;;
esac

# The desktop entry as the desktop reads it; the programs without the
# compiler's .comment; norvane as Norvane under another name, with its page.
desktop-file-validate "$work/root/usr/share/applications/norvane.desktop" || fail "the desktop entry is not valid"
for program in Norvane norvane-search; do
  if objdump -h "$work/root/usr/bin/$program" | grep -qw '\.comment'; then fail "$program keeps a .comment section"; fi
done
[[ $(readlink "$work/root/usr/bin/norvane") == Norvane ]] || fail "/usr/bin/norvane is no link to Norvane"
[[ $(readlink "$work/root/usr/share/man/man1/norvane.1.gz") == Norvane.1.gz ]] ||
  fail "norvane(1) is no link to Norvane(1)"
# Heard without a display.
env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/norvane" --help | grep -q '^Usage: Norvane \[FILE\]' ||
  fail "norvane --help did not tell how to start it"

# The unpacked norvane-search lists the samples as the README shows.
bin=$work/root/usr/bin
status=0
(cd "$src/samples" && "$bin/norvane-search" --output=utf-8 港町 *.txt) >"$work/listing" || status=$?
((status == 0)) || fail "norvane-search exited $status on the samples"
cmp "$here/samples_listing.txt" "$work/listing" || fail "norvane-search's listing of the samples differs"

# The unpacked Norvane opens its help from share/norvane, and fails to when
# the help file is not there.
export QT_QPA_PLATFORM=offscreen
if shown=$(cd "$src/samples" && timeout 60 "$bin/Norvane" --check-help); then
  [[ $shown == "$work/root/usr/share/norvane/Norvane.html" ]] || fail "Norvane showed the help from $shown"
else
  fail "Norvane --check-help did not show the installed help"
fi
rm "$work/root/usr/share/norvane/Norvane.html"
if (cd "$src/samples" && timeout 60 "$bin/Norvane" --check-help); then
  fail "Norvane --check-help passed without a help file"
fi

((failures == 0)) || { echo "$failures failure(s)" >&2; exit 1; }
echo "package test passed"
