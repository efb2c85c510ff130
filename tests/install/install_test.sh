#!/usr/bin/env bash
# Installs the programs into a temporary root, by `cmake --install` (mode
# "install") or from the Debian package CPack makes (mode "package", unpacked
# with dpkg -x), and checks what a user gets: the programs run and find their
# shipped data, the desktop entry, metadata and manual pages are accepted by
# their validators.
#   install_test.sh BUILD_DIR SOURCE_DIR install|package
set -euo pipefail
build=$1 source=$2 mode=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

case $mode in
  install)
    cmake --install "$build" --prefix "$tmp/root/usr" >/dev/null
    ;;
  package)
    (cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >/dev/null)
    deb=$(ls "$tmp"/pkg/trakomer_*.deb)
    depends=$(dpkg-deb -f "$deb" Depends)
    [[ $depends == *libc6* && $depends == *libqt6widgets6* ]] ||
      fail "dependencies not computed by dpkg-shlibdeps: $depends"
    dpkg -x "$deb" "$tmp/root"
    ;;
  *) fail "unknown mode $mode" ;;
esac

usr=$tmp/root/usr
id=org.example.trakomer
for file in bin/trakomer bin/trakomer-cli share/trakomer/run.png share/trakomer/trakomer.htm \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/256x256/apps/$id.png share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/trakomer.1.gz share/man/man1/trakomer-cli.1.gz; do
  [[ -e $usr/$file ]] || fail "$file not installed"
done

out=$(desktop-file-validate "$usr/share/applications/$id.desktop" 2>&1) ||
  fail "desktop-file-validate: $out"
if grep -E "error|warning" <<<"$out"; then fail "desktop-file-validate: $out"; fi
out=$(appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" 2>&1) ||
  fail "appstreamcli: $out"
# Every screenshot the metadata names is one of the README's pictures in docs/.
shots=$(sed -n 's|.*<image[^>]*>[^<]*/\(docs/[^<]*\)</image>.*|\1|p' "$usr/share/metainfo/$id.metainfo.xml")
[[ -n $shots ]] || fail "no screenshots in the metadata"
for shot in $shots; do
  [[ -f $source/$shot ]] || fail "screenshot $shot is not in the source tree"
done
for page in trakomer trakomer-cli; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l --warnings "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [[ -z $out ]] || fail "man $page: $out"
done
[[ $(file "$usr/share/icons/hicolor/256x256/apps/$id.png") == *"256 x 256"* ]] || fail "icon size"
xmllint --noout "$usr/share/icons/hicolor/scalable/apps/$id.svg" || fail "svg not well-formed"

# The installed tool runs, records the demo log and converts the track both
# ways; the .kmz holds run.png found in the installed shipped data (the home
# folder starts empty).
cli=$usr/bin/trakomer-cli
[[ $("$cli" --version) == "trakomer-cli "* ]] || fail "--version"
home=$tmp/home
mkdir -p "$home" "$tmp/out"
rec=$("$cli" record --input "$source/data/demo/demo.nmea" --home "$home" --out-dir "$tmp/out")
trz=$(ls "$tmp"/out/*.trz)
points=$(sed -n 's/.*"points":\([0-9]*\).*/\1/p' <<<"$rec" | head -1)
for step in "$trz $tmp/run.gpx" "$tmp/run.gpx $tmp/back.trz" "$trz $tmp/run.kmz"; do
  # shellcheck disable=SC2086
  json=$("$cli" convert $step --home "$home") || fail "convert $step"
  [[ $json == *"\"points\":$points,"* ]] || fail "convert $step: $json (record: $points points)"
done
listing=$(unzip -l "$tmp/run.kmz")
grep -q "run.png" <<<"$listing" || fail "run.png missing from the .kmz: $listing"
echo "installed programs and files OK ($mode)"
