#!/usr/bin/env bash
# Renders every skin image on the layouts' background (#f6fafd), panel (#f0f5f9) and white,
# enlarged without smoothing, into one review sheet per background colour. Usage:
#   skin/src/contact_sheet.sh [OUTPUT_PREFIX [ZOOM]]   (default: /tmp/quelm-skin 3)
# writes OUTPUT_PREFIX-f6fafd.png, OUTPUT_PREFIX-f0f5f9.png and OUTPUT_PREFIX-ffffff.png.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
skin=$(dirname "$here")
prefix=${1:-/tmp/quelm-skin}
zoom=${2:-3}
max_row=1800
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

mapfile -t pngs < <(find "$skin/img" -name '*.png' | sort)
for bg in '#f6fafd' '#f0f5f9' '#ffffff'; do
  key=${bg#\#}
  rows=()
  row=()
  width=0
  flush() {
    if [ ${#row[@]} -gt 0 ]; then
      convert -background "$bg" "${row[@]}" -gravity north +append "$tmp/row-$key-${#rows[@]}.png"
      rows+=("$tmp/row-$key-${#rows[@]}.png")
    fi
    row=()
    width=0
  }
  i=0
  for png in "${pngs[@]}"; do
    rel=${png#"$skin/"}
    tile="$tmp/$key-$(printf %03d $i).png"
    big="$tmp/big.png"
    convert "$png" -filter point -resize "$((zoom * 100))%" -bordercolor "$bg" -border 12 \
      +repage "$big"
    # Narrow images get room for their label.
    convert "$big" -background "$bg" -gravity center \
      -extent "$(identify -format '%[fx:max(w,170)]x%h' "$big")" +repage \
      -gravity south -splice 0x16 -fill '#60656f' -pointsize 12 -annotate +0+2 "$rel" "$tile"
    w=$(identify -format '%w' "$tile")
    if [ $((width + w)) -gt $max_row ]; then flush; fi
    row+=("$tile")
    width=$((width + w))
    i=$((i + 1))
  done
  flush
  convert -background "$bg" "${rows[@]}" -gravity west -append +repage "$prefix-$key.png"
  echo "$prefix-$key.png"
done
