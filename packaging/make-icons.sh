#!/usr/bin/env bash
# Remakes the application icons in packaging/icons/ from the demo's own
# picture: the rack of "Billiards 1" at its start, drawn by clatterbox-shot,
# cropped to a square with rounded corners and scaled to the sizes of the
# desktop's icon theme. Needs a build (build/clatterbox-shot) and ImageMagick.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
shot="${1:-$root/build/clatterbox-shot}"
out="$root/packaging/icons"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$root/assets" && "$shot" --scene 0 --seconds 0 --seed 1 --size 1024x1024 --out "$work/frame.png")
convert "$work/frame.png" -crop 300x300+370+280 +repage -resize 256x256 "$work/square.png"
# Rounded corners: the square through a mask of a rounded rectangle.
convert -size 256x256 xc:none -fill white -draw "roundrectangle 0,0 255,255 40,40" "$work/mask.png"
convert "$work/square.png" "$work/mask.png" -alpha off -compose CopyOpacity -composite \
    "$work/rounded.png"
mkdir -p "$out"
for size in 16 22 24 32 48 64 128 256; do
    convert "$work/rounded.png" -filter Lanczos -resize "${size}x${size}" -strip \
        -define png:exclude-chunks=date,time "$out/clatterbox-$size.png"
done
echo "icons written to $out"
