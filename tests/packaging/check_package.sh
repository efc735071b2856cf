#!/usr/bin/env bash
# Builds the Debian package from a finished build with CPack, unpacks it into
# a temporary root with dpkg -x (no root needed) and checks it: the file
# list, the dependencies that library detection cannot find, the unpacked
# program answering --version, the desktop entry, the metainfo and lintian.
#
# Usage: check_package.sh BUILD_DIR APP_ID
set -euo pipefail
build=$(cd "$1" && pwd)
app_id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "package check: $*" >&2
  exit 1
}
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli lintian xmllint \
  update-mime-database; do
  command -v "$tool" >/dev/null ||
    fail "$tool is missing (test.sh installs dpkg-dev, file, desktop-file-utils, appstream, lintian, libxml2-utils and shared-mime-info)"
done

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || {
  cat "$work/cpack.log" >&2
  fail "cpack failed"
}
deb=$(ls "$work"/out/palomind_*_"$(dpkg --print-architecture)".deb)
echo "built $(basename "$deb"), $(stat -c %s "$deb") bytes"
dpkg -x "$deb" "$work/root"

expected=(
  usr/bin/palomind
  usr/libexec/palomind/receiver_simulator
  usr/share/palomind/snd1.wav
  usr/share/palomind/snd2.wav
  usr/share/palomind/snd3.wav
  usr/share/palomind/lap.wav
  "usr/share/applications/$app_id.desktop"
  "usr/share/metainfo/$app_id.metainfo.xml"
  usr/share/mime/packages/palomind.xml
  usr/share/man/man1/palomind.1.gz
  usr/share/doc/palomind/copyright
  usr/share/doc/palomind/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x$size/apps/palomind.png")
done
diff -u <(printf '%s\n' "${expected[@]}" | sort) \
  <(cd "$work/root" && find . ! -type d | sed 's|^\./||' | sort) ||
  fail "the file list differs from the expected one (- expected, + packed)"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6multimedia6 gstreamer1.0-plugins-base \
  gstreamer1.0-plugins-good qt6-translations-l10n fonts-ipafont-gothic libespeak-ng1 espeak-ng-data; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done

# The description tells what the program does with the receiver, in the
# paragraph the manual page shares.
description=$(dpkg-deb -f "$deb" Description)
[[ "$description" == *'設定 > 通信ポート > "ポートの割り当て..."'* ]] ||
  fail "the description does not send the operator to the port assignment: $description"
[[ "$description" != *@PALOMIND_* ]] || fail "the description keeps a placeholder: $description"

version=$(dpkg-deb -f "$deb" Version)
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/palomind" --version)
[ "$answer" = "Palomind $version" ] || fail "the unpacked program says \"$answer\""

desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop" ||
  fail "desktop-file-validate"
desktop="$work/root/usr/share/applications/$app_id.desktop"
grep -qx 'Exec=palomind --user-folder %f' "$desktop" ||
  fail "the desktop entry does not start palomind --user-folder with the file (%f)"
grep -qx 'MimeType=application/x-palomind-result;application/x-palomind-race;' "$desktop" ||
  fail "the desktop entry does not take the result file and race record types"

# The file types, compiled as the system compiles them: each type with its
# glob, the race record with its first line as magic.
mime="$work/mime"
mkdir -p "$mime/packages"
cp "$work/root/usr/share/mime/packages/palomind.xml" "$mime/packages/"
xmllint --noout "$mime/packages/palomind.xml" || fail "the MIME file is no well-formed XML"
update-mime-database "$mime" || fail "update-mime-database refused the MIME file"
grep -q ':application/x-palomind-result:\*\.rdt$' "$mime/globs2" ||
  fail "*.rdt is not application/x-palomind-result"
grep -q ':application/x-palomind-race:\*\.race$' "$mime/globs2" ||
  fail "*.race is not application/x-palomind-race"
grep -aq 'application/x-palomind-race' "$mime/magic" && grep -aq 'palomind-race 1' "$mime/magic" ||
  fail "the race record's magic palomind-race 1 is missing"
# Without --no-net the validator tries to reach every URL, and there is no
# network here.
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "appstreamcli validate"
# Lintian warns when run as root, as CI does; its findings are what counts.
lintian --fail-on error "$deb" 2> >(grep -v 'running with root privileges' >&2) ||
  fail "lintian found errors"
echo "package check passed"
