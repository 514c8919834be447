#!/usr/bin/env bash
# Renders the help windows' illustrations and the program icon from their SVG
# sources into the files the program and the packages use. Run it after
# editing an .svg or .css here, and commit what it writes.
#
# Needs (Debian): librsvg2-bin (rsvg-convert), imagemagick (convert),
# icoutils (icotool).
set -euo pipefail
cd "$(dirname "$0")"
for tool in rsvg-convert convert icotool; do
    command -v "$tool" >/dev/null || { echo "render.sh: $tool not found (apt-get install librsvg2-bin imagemagick icoutils)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- illustrations, each at its exact pixel size ---------------------------
# photo NAME WIDTH HEIGHT: NAME.svg -> NAME.jpg
photo() {
    rsvg-convert -w "$2" -h "$3" -b white "$1.svg" -o "$work/$1.png"
    convert "$work/$1.png" -alpha off -strip -sampling-factor 1x1 -quality 92 "$1.jpg"
}
photo measure 399 450
photo printer-port 603 719
photo vfd-display 954 964
photo probes 841 742
# The homing picture is an uncompressed 24-bit Windows bitmap.
rsvg-convert -w 600 -h 400 -b white fourth-axis-homing.svg -o "$work/fourth-axis-homing.png"
convert "$work/fourth-axis-homing.png" -alpha off -type TrueColor -compress None BMP3:fourth-axis-homing.bmp

# --- program icon ----------------------------------------------------------
# Full-colour PNGs for Linux desktops (hicolor sizes) and the 32-bit icon images.
mkdir -p icon
rsvg-convert -w 16 -h 16 icon-16.svg -o icon/ombrel-config-16.png
for size in 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" icon.svg -o "icon/ombrel-config-$size.png"
done

# The 16 standard colours; the 16-colour images are repainted in them by
# classic16.css and mapped onto them without dithering.
convert xc:'#000000' xc:'#800000' xc:'#008000' xc:'#808000' xc:'#000080' xc:'#800080' \
        xc:'#008080' xc:'#c0c0c0' xc:'#808080' xc:'#ff0000' xc:'#00ff00' xc:'#ffff00' \
        xc:'#0000ff' xc:'#ff00ff' xc:'#00ffff' xc:'#ffffff' +append "$work/palette16.png"
rsvg-convert -s classic16.css -w 32 -h 32 icon.svg -o "$work/classic-32.png"
rsvg-convert -s classic16.css -w 16 -h 16 icon-16.svg -o "$work/classic-16.png"
for size in 32 16; do
    convert "$work/classic-$size.png" -channel A -threshold 50% +channel -dither None \
        -remap "$work/palette16.png" "PNG8:$work/c4-$size.png"
done
# 256 colours: quantised, with on/off transparency.
for size in 48 32 16; do
    convert "icon/ombrel-config-$size.png" -channel A -threshold 50% +channel -dither None \
        -colors 255 "PNG8:$work/c8-$size.png"
done

# One .ico with nine images, for the Windows executable's resource:
# 32 and 16 in 16 colours; 48, 32, 16 in 256 colours; 256, 48, 32, 16 in 32-bit
# (the 256 one stored as PNG, as Windows expects).
icotool -c -o ombrel-config.ico \
    -b 4 "$work/c4-32.png" "$work/c4-16.png" \
    -b 8 "$work/c8-48.png" "$work/c8-32.png" "$work/c8-16.png" \
    -b 32 -r icon/ombrel-config-256.png icon/ombrel-config-48.png icon/ombrel-config-32.png icon/ombrel-config-16.png
icotool -l ombrel-config.ico
