#!/bin/bash
# Builds the Debian package afresh and checks it with Debian's tools: lintian
# finds no error or warning, the AppStream metadata and the desktop entry
# validate, and it holds every file an installed Do-Z needs, reproducibly
# compressed, with the run-time data packages among its dependencies.
# Exits 77 (skipped) when a tool is missing.
# usage: check_package.sh BUILD-DIR VERSION
set -u
build=$1 version=$2
for tool in cpack dpkg-deb lintian appstreamcli desktop-file-validate; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$work/out/doz_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$work/out"; echo "FAIL: no $deb"; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

lintian --fail-on error,warning "$deb" 2>&1 |
  grep -v 'running with root privileges' | tee "$work/lintian.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "lintian reports errors or warnings"

root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
expected=(usr/bin/doz usr/bin/doz-cli usr/bin/doz-unitsim usr/share/applications/doz.desktop
  usr/share/icons/hicolor/scalable/apps/doz.svg usr/share/bash-completion/completions/doz-cli
  usr/share/doc/doz/copyright usr/share/doc/doz/changelog.gz)
for size in 16 32 48 64 128 256; do expected+=(usr/share/icons/hicolor/${size}x$size/apps/doz.png); done
for page in doz doz-cli doz-unitsim; do expected+=(usr/share/man/man1/$page.1.gz); done
for file in "${expected[@]}"; do [ -s "$root/$file" ] || fail "the package lacks $file"; done
for size in 16 256; do
  file "$share/icons/hicolor/${size}x$size/apps/doz.png" | grep -q "$size x $size" ||
    fail "the ${size}px icon is not $size pixels square"
done

metainfo=$(ls "$share"/metainfo/*.metainfo.xml 2>/dev/null)
if [ -z "$metainfo" ]; then
  fail "no AppStream metadata"
else
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
  grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
fi
desktop-file-validate "$share/applications/doz.desktop" || fail "desktop-file-validate"

# gzip -n: no file name (flag 0x08) and a zero time stamp in the header.
for gz in "$share"/man/man1/*.gz "$share/doc/doz/changelog.gz"; do
  [ "$(od -An -tx1 -j3 -N5 "$gz" | tr -d ' ')" = "0000000000" ] || fail "$gz has a name or a time"
done
zcat "$share/doc/doz/changelog.gz" | head -n 1 | grep -q "^doz ($version) " ||
  fail "the changelog's latest entry is not $version"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in fonts-ipafont-gothic qt6-translations-l10n libqt6widgets6 libc6; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package"
done
for program in doz-cli doz-unitsim; do
  [ "$("$root/usr/bin/$program" --version)" = "$program $version" ] ||
    fail "the packaged $program does not say its version"
done

[ "$failures" = 0 ] || exit 1
echo "package checked"
