#!/usr/bin/env bash
# Redraws the skin: regenerates the SVG sources from artwork.py, renders them into skin/img/
# and builds the program icons app/res/QuelmTask.ico (107) and app/res/QuelmTray.ico (108).
# Needs rsvg-convert (Debian: librsvg2-bin) and ImageMagick; the build itself needs neither,
# since the results are committed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
skin=$(dirname "$here")
root=$(dirname "$skin")
command -v rsvg-convert >/dev/null || { echo "render.sh: install librsvg2-bin" >&2; exit 1; }
command -v convert >/dev/null || { echo "render.sh: install imagemagick" >&2; exit 1; }

python3 "$here/artwork.py"

# Rendered at 1:1; the SVG's own width and height are the image's size. rendered.txt lists the
# images made here, so that one whose SVG was deleted is removed (and never packed).
list="$here/rendered.txt"
rendered=()
while IFS= read -r svg; do
  rel=${svg#"$here/svg/"}
  out="$skin/${rel%.svg}.png"
  mkdir -p "$(dirname "$out")"
  rsvg-convert "$svg" -o "$out.tmp"
  # 32-bit RGBA without time stamps, so that unchanged art renders to identical files.
  convert "$out.tmp" -define png:exclude-chunks=date,time +set date:create +set date:modify \
    "PNG32:$out"
  rm -f "$out.tmp"
  rendered+=("${rel%.svg}.png")
done < <(find "$here/svg/img" -name '*.svg' | sort)
if [ -f "$list" ]; then
  while IFS= read -r old; do
    [ -n "$old" ] || continue
    keep=0
    for now in "${rendered[@]}"; do [ "$now" = "$old" ] && keep=1 && break; done
    [ $keep = 1 ] || rm -f "$skin/$old"
  done <"$list"
fi
printf '%s\n' "${rendered[@]}" >"$list"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for name in app tray; do
  pngs=()
  for size in 16 24 32 48 256; do
    rsvg-convert "$here/svg/icon/$name-$size.svg" -o "$tmp/$name-$size.png"
    pngs+=("$tmp/$name-$size.png")
  done
  case $name in app) ico=QuelmTask.ico ;; tray) ico=QuelmTray.ico ;; esac
  mkdir -p "$root/app/res"
  convert "${pngs[@]}" "$root/app/res/$ico"
done
