#!/usr/bin/env bash
# Makes the Debian package of a release build in BUILD_DIR/packages and
# checks it: its file list and dependencies, lintian's errors, and the
# programs run from a scratch root the package is unpacked into.
# Usage: tools/check-deb.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-deb: $*" >&2; exit 1; }

rm -f "$build"/packages/pendra_*.deb
# No -B: the configuration itself must put the package in BUILD_DIR/packages.
(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$build"/packages/pendra_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "no pendra_*.deb made"
echo "made $(basename "$deb")"

gui=$([ -x "$build/engine/pendra" ] && echo yes || echo no)
expected=(./usr/bin/pendcal ./usr/share/man/man1/pendcal.1.gz
          ./usr/share/doc/pendra/copyright ./usr/share/doc/pendra/README.md
          ./usr/share/doc/pendra/docs/command-line.md
          ./usr/share/doc/pendra/examples/pendra.pnd
          ./usr/share/vim/vimfiles/syntax/pnd.vim ./usr/share/vim/vimfiles/ftdetect/pnd.vim)
if [ "$gui" = yes ]; then
  expected+=(./usr/bin/pendra ./usr/share/man/man1/pendra.1.gz
             ./usr/share/applications/pendra.desktop
             ./usr/share/icons/hicolor/scalable/apps/pendra.svg)
fi
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
for f in "${expected[@]}"; do
  grep -qxF "$f" "$work/files" || fail "$f is not in the package"
done

depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
needed=(libc6 libstdc++6)
[ "$gui" = yes ] && needed+=(libqt6widgets6)
for lib in "${needed[@]}"; do
  [[ $depends == *"$lib "* ]] || fail "Depends lacks $lib"
done

if command -v lintian >/dev/null; then
  # Errors fail the check; warnings are shown only.
  lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
  if grep -q '^E:' "$work/lintian.log"; then
    cat "$work/lintian.log" >&2
    fail "lintian reports errors"
  fi
fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
version=$("$root/usr/bin/pendcal" -v)
[[ $version == "pendcal 0.1 ("* ]] || fail "pendcal -v printed: $version"
echo "$version"
report=$("$root/usr/bin/pendcal" -f "$root/usr/share/doc/pendra/examples/pendra.pnd" 25 dec 2026)
[[ $report == *Christmas* ]] || fail "the installed example gave: $report"
