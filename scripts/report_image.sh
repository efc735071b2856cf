#!/usr/bin/env bash
# Prints the report of a sample race (docs/report-race.journal, 12 entrants)
# into a PDF through the headless replay, and renders its first page to
# docs/report-page1.png, to look at the result page and its ruled table.
#
# Uses the program in ${PALOMIND_BUILD_DIR:-build}, building it when missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${PALOMIND_BUILD_DIR:-build}
source ./scripts_common.sh
palomind_install_packages poppler-utils  # pdftoppm and pdfinfo
if [ ! -x "$build/palomind" ]; then
  palomind_install_packages "${PALOMIND_BUILD_PACKAGES[@]}"
  palomind_build "$build"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The replay reads the roster from the current directory: 64 quoted names,
# cp932, CR LF.
names=([3]="佐藤 一郎" [5]="鈴木" [7]="高橋 健" [9]="Tanaka" [12]="伊藤 翔" [15]="渡辺"
       [18]="山本 大輔" [21]="Nakamura" [24]="小林" [27]="加藤 陸" [30]="吉田 蓮" [33]="山田")
for id in $(seq 1 64); do
  printf '"%s"\r\n' "${names[$id]:-未登録}"
done | iconv -f UTF-8 -t CP932 > "$work/idname.ind"

# Start-up complains about the missing settings file; only real errors matter.
(cd "$work" && "$root/$build/palomind" --replay "$root/docs/report-race.journal" \
  --print report.pdf 2> replay.log) || { cat "$work/replay.log" >&2; exit 1; }

pdftoppm -r 100 -f 1 -l 1 -png -singlefile "$work/report.pdf" docs/report-page1
echo "wrote docs/report-page1.png ($(pdfinfo "$work/report.pdf" | awk '/^Pages:/ {print $2}') pages in the report)"
