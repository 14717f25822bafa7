#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks what a desktop finds there: the
# launcher, the icons, the AppStream file (both validators must report nothing), the manual
# page of quillsong-cli (it must name every option of --help) and the help pages.
# Usage: installcheck.sh BUILD_DIR QUILLSONG_CLI
set -euo pipefail
build=$1
cli=$2
prefix=$(mktemp -d /tmp/quillsong-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

share=$prefix/share
for file in bin/quillsong bin/quillsong-cli \
  share/applications/quillsong.desktop \
  share/icons/hicolor/scalable/apps/quillsong.svg \
  share/icons/hicolor/256x256/apps/quillsong.png \
  share/metainfo/quillsong.metainfo.xml \
  share/man/man1/quillsong-cli.1 \
  share/quillsong/help/index.html share/quillsong/help/help.css; do
  [[ -s "$prefix/$file" ]] || fail "$file is not installed"
done

# The launcher: nothing to report, hints included.
desktop=$share/applications/quillsong.desktop
if ! command -v desktop-file-validate >/dev/null; then
  fail "desktop-file-validate is missing (desktop-file-utils)"
else
  report=$(desktop-file-validate --no-hints "$desktop" 2>&1) || fail "desktop-file-validate failed"
  [[ -z "$report" ]] || fail "desktop-file-validate reports: $report"
fi
grep -qx 'Exec=quillsong %F' "$desktop" || fail "the launcher does not pass files as %F"
grep -qx 'Icon=quillsong' "$desktop" || fail "the launcher's icon is not the themed quillsong"
grep -q '^MimeType=.*text/plain;' "$desktop" || fail "the launcher does not open text/plain"

# The AppStream file: no error, warning, info or pedantic line.
metainfo=$share/metainfo/quillsong.metainfo.xml
report=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1) ||
  fail "appstreamcli validate failed: $report"
if grep -qE '^[EWIP]: ' <<<"$report"; then
  fail "appstreamcli validate reports: $report"
fi
grep -q '<launchable type="desktop-id">quillsong.desktop</launchable>' "$metainfo" ||
  fail "the AppStream file does not launch quillsong.desktop"
version=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo")
[[ -n "$version" ]] || fail "the AppStream file names no release"

# The 256 px icon really is 256 by 256 pixels (the PNG header's width and height).
png=$share/icons/hicolor/256x256/apps/quillsong.png
size=$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')
[[ "$size" == "0 0 1 0 0 0 1 0" ]] || fail "the 256 px icon has the header size $size"

# The manual page names every option that --help lists, and the release's version.
manpage=$share/man/man1/quillsong-cli.1
plain=$(sed 's/\\-/-/g' "$manpage")
options=$("$cli" --help | grep -oE '(^|[ ,])--?[a-z][a-z-]*' | sed 's/^[ ,]//' | sort -u)
[[ -n "$options" ]] || fail "quillsong-cli --help lists no option"
for option in $options; do
  grep -qF -- "$option" <<<"$plain" || fail "the manual page lacks $option"
done
grep -qF "$version" <<<"$plain" || fail "the manual page does not name version $version"

# Every page of the help reaches its pictures and the other pages it links to.
help=$share/quillsong/help
for page in "$help"/*.html; do
  for target in $(grep -oE '(href|src)="[^"#:]+' "$page" | sed 's/^[a-z]*="//'); do
    [[ -e "$help/$target" ]] || fail "$(basename "$page") links to $target, which is missing"
  done
done

if ((failures > 0)); then
  exit 1
fi
echo "installed into a temporary prefix: launcher, icons, AppStream file, manual page and help pages check out"
