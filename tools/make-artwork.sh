#!/usr/bin/env bash
# Draws Cuewire's pictures and icon into res/art/ with ImageMagick.
# The outputs are committed because the resource compiler needs the files; run
# this again after changing a design. Needs `convert` (ImageMagick 6 or 7).
#
#   137 banner.bmp        720 x 276, 32-bit with alpha: the banner, edges fading out
#   141 background.bmp    480 x 270, 24-bit: the same banner on an opaque 16:9 ground
#   190 shop.bmp          640 x 360, 24-bit: the maker's shop advert with a caption band
#   130 maker-logo.bmp    64 x 48: the maker's logo for the About box
#   131/132               38 x 27: small social and video-channel logos for the panel
#   195/196               38 x 30: the same logos for the support dialog
#   128 cuewire.ico       16, 20, 24, 32, 40, 48 and 64 pixels
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/res/art"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The product's face; a system sans stands in on a machine without the fetched font.
font="$root/.cache/third_party/LibreFranklin_500Medium.ttf"
for candidate in "$font" /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
    /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf; do
    if [ -f "$candidate" ]; then
        font=$candidate
        break
    fi
done

# Palette: neutral broadcast greys, one tally red.
ink='#f3f5f7'
muted='#a3acb6'
ground_top='#2b323b'
ground_bottom='#0f1216'
tally='#e0393e'
teal='#1f8a8a'

# 24-bit and 32-bit BMP writers: version-3 headers, which every resource compiler reads.
write_bmp24() { convert "$1" -background black -alpha remove -alpha off -type TrueColor "BMP3:$2"; }
write_bmp32() { convert "$1" -define bmp3:alpha=true "BMP3:$2"; }

text_width() { convert -font "$font" -pointsize "$1" label:"$2" -format %w info:; }

# --- The banner (137) and its opaque 16:9 picture (141) ---------------------
draw_banner() {
    local w=720 h=276 size=100
    local word_w bar_x
    word_w=$(text_width $size Cuewire)
    # The tally bar sits left of the centred word, a gap of 19 pixels away.
    bar_x=$(((w - word_w) / 2 - 30))
    convert -size ${w}x${h} gradient:"$ground_top"-"$ground_bottom" \
        -fill "$tally" -draw "roundrectangle $bar_x,72 $((bar_x + 11)),172 4,4" \
        -font "$font" -fill "$ink" -pointsize $size -gravity center \
        -annotate +0-20 Cuewire \
        -fill '#4a535e' -draw "rectangle 210,178 510,179" \
        -fill "$muted" -pointsize 18 -kerning 5 -annotate +0+64 'BRYVO  ·  LIVE TITLES FOR NDI®' \
        "$work/banner-face.png"
    # Alpha: a rounded plate, blurred so that every edge fades to nothing.
    convert -size ${w}x${h} xc:black -fill white \
        -draw "roundrectangle 44,40 $((w - 45)),$((h - 41)) 48,48" \
        -blur 0x17 -level 3%,100% "$work/banner-mask.png"
    convert "$work/banner-face.png" "$work/banner-mask.png" -alpha off \
        -compose CopyOpacity -composite "$work/banner.png"
    write_bmp32 "$work/banner.png" "$out/banner.bmp"

    convert -size 480x270 radial-gradient:'#222830'-"$ground_bottom" \
        \( "$work/banner.png" -resize 480x \) -gravity center -compose over -composite \
        "$work/background.png"
    write_bmp24 "$work/background.png" "$out/background.bmp"
}

# --- The shop advert (190) ---------------------------------------------------
draw_shop() {
    convert -size 640x360 radial-gradient:'#34404c'-'#0b0d10' -crop 640x360+0+0 +repage \
        `# A converter box: body, front panel, status lights, connectors.` \
        -fill '#3b434d' -stroke '#59636f' -strokewidth 2 \
        -draw "roundrectangle 372,118 604,196 10,10" \
        -stroke none -fill '#262c33' -draw "roundrectangle 384,130 592,184 6,6" \
        -fill "$tally" -draw "circle 402,157 407,157" \
        -fill '#43c26b' -draw "circle 424,157 429,157" \
        -fill '#8c96a1' -draw "circle 470,157 481,157" -draw "circle 510,157 521,157" \
        -draw "circle 550,157 561,157" \
        -fill '#1a1e23' -draw "circle 470,157 475,157" -draw "circle 510,157 515,157" \
        -draw "circle 550,157 555,157" \
        `# A camera with a tally light on its top.` \
        -fill '#2e353d' -stroke '#59636f' -strokewidth 2 \
        -draw "roundrectangle 404,212 540,282 12,12" \
        -draw "polygon 540,228 584,212 584,282 540,266" \
        -stroke none -fill '#15191d' -draw "circle 472,247 472,277" \
        -fill '#3d4a58' -draw "circle 472,247 472,267" \
        -fill '#6f8194' -draw "circle 464,239 464,245" \
        -fill "$tally" -draw "roundrectangle 418,202 446,212 3,3" \
        `# Headline and the product list.` \
        -font "$font" -fill "$ink" -pointsize 58 -gravity northwest -annotate +36+54 Bryvo \
        -fill "$tally" -draw "rectangle 40,132 100,135" \
        -fill "$ink" -pointsize 21 -annotate +36+152 'Video tools for live production' \
        -fill "$muted" -pointsize 17 \
        -annotate +36+196 'NDI® converters and encoders' \
        -annotate +36+222 'Tally lights and studio cameras' \
        -annotate +36+248 'Titling and keying software' \
        `# The caption band along the bottom.` \
        -fill "$tally" -draw "rectangle 0,304 639,359" \
        -fill "$ink" -pointsize 20 -gravity south \
        -annotate +0+17 'Every purchase from the Bryvo store supports Cuewire' \
        "$work/shop.png"
    write_bmp24 "$work/shop.png" "$out/shop.bmp"
}

# --- The maker's logo (130) --------------------------------------------------
draw_maker_logo() {
    convert -size 64x48 gradient:"$ground_top"-"$ground_bottom" \
        -font "$font" -fill "$ink" -pointsize 30 -gravity north -annotate +0+0 B \
        -fill "$tally" -draw "rectangle 24,33 39,34" \
        -fill "$ink" -pointsize 10 -kerning 1 -gravity south -annotate +0+1 BRYVO \
        "$work/maker.png"
    write_bmp24 "$work/maker.png" "$out/maker-logo.bmp"
}

# --- Small logos: social page (131, 195) and video channel (132, 196) -------
# Drawn at four times the size and reduced, so that the small shapes stay smooth.
draw_social_logo() {
    local w=$1 h=$2 name=$3
    local W=$((w * 4)) H=$((h * 4)) cx=$((w * 2)) cy=$((h * 2 - 4))
    convert -size ${W}x${H} xc:"$teal" -fill white \
        -draw "roundrectangle $((cx - 44)),$((cy - 30)) $((cx + 44)),$((cy + 26)) 16,16" \
        -draw "polygon $((cx - 22)),$((cy + 20)) $((cx - 2)),$((cy + 20)) $((cx - 28)),$((cy + 42))" \
        -fill "$teal" -draw "circle $((cx - 22)),$((cy - 2)) $((cx - 15)),$((cy - 2))" \
        -draw "circle $cx,$((cy - 2)) $((cx + 7)),$((cy - 2))" \
        -draw "circle $((cx + 22)),$((cy - 2)) $((cx + 29)),$((cy - 2))" \
        -filter box -resize ${w}x${h}! "$work/$name.png"
    write_bmp24 "$work/$name.png" "$out/$name.bmp"
}

draw_video_logo() {
    local w=$1 h=$2 name=$3
    local W=$((w * 4)) H=$((h * 4)) cx=$((w * 2)) cy=$((h * 2))
    convert -size ${W}x${H} xc:'#1d2227' -fill none -stroke white -strokewidth 6 \
        -draw "roundrectangle $((cx - 50)),$((cy - 36)) $((cx + 50)),$((cy + 36)) 12,12" \
        -stroke none -fill "$tally" \
        -draw "polygon $((cx - 14)),$((cy - 22)) $((cx - 14)),$((cy + 22)) $((cx + 24)),$cy" \
        -filter box -resize ${w}x${h}! "$work/$name.png"
    write_bmp24 "$work/$name.png" "$out/$name.bmp"
}

# --- The application icon (128) ----------------------------------------------
# A lower third on a dark tile, with the tally light on.
draw_icon() {
    convert -size 192x192 xc:none -fill "$ground_top" \
        -draw "roundrectangle 8,8 183,183 34,34" \
        -fill "$ink" -draw "roundrectangle 28,112 164,144 8,8" \
        -fill "$muted" -draw "roundrectangle 28,90 110,102 5,5" \
        -fill "$tally" -draw "circle 146,50 146,28" \
        "$work/icon-192.png"
    # 16 and 32 at 100 %, and the sizes a window loads at 125, 150 and 200 %.
    local sizes=(16 20 24 32 40 48 64) files=()
    for s in "${sizes[@]}"; do
        convert "$work/icon-192.png" -filter box -resize ${s}x${s} "$work/icon-$s.png"
        files+=("$work/icon-$s.png")
    done
    convert "${files[@]}" "$out/cuewire.ico"
}

draw_banner
draw_shop
draw_maker_logo
draw_social_logo 38 27 social-small
draw_video_logo 38 27 video-small
draw_social_logo 38 30 social-logo
draw_video_logo 38 30 video-logo
draw_icon
echo "make-artwork: wrote $(find "$out" -type f | wc -l) files to $out (font: $(basename "$font"))"
