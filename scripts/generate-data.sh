#!/usr/bin/env bash
# Regenerates Tumblewell's run-time data from nothing: the six pictures in images/,
# the two sounds in audio/ and the desktop icon in packaging/ (PNG sizes and SVG). The output is committed, so running the program
# never needs this script; run it again after changing a picture or the music.
# Needs: ImageMagick 6 (/usr/bin/convert), the DejaVu fonts, g++, lame and sox
# (scripts/install-deps.sh data).
# Same tools, same bytes: fixed noise seeds, no timestamps, no metadata.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
images="$root/images"
audio="$root/audio"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

im=/usr/bin/convert
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
regular=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
wall_colour='#ff00ea' # the colour the program draws walls in
width=640
height=480

# Bare 8-bit PNGs: IHDR, IDAT and IEND only, so no date, gamma or colour profile
# lands in the file and the loader shows the stored colours unchanged.
png_options=(-strip -define png:exclude-chunk=all -quality 95 -depth 8)
# The four full-window screens are decoded while the program starts, before
# its first frame: their rows are stored unfiltered (what ImageMagick's
# -quality 91 gives), which decode in 60% of the time that the adaptive
# filters' mostly Paeth rows take, for 15% more bytes.
screen_options=(-strip -define png:exclude-chunk=all -quality 91 -depth 8)

mkdir -p "$images" "$audio"

# ---------------------------------------------------------------- tokens
# A token is a flat disc with a rounded bevel and an engraved ring, lit from the
# upper left. It is drawn four times larger and box-filtered down, which gives
# the rim exact coverage antialiasing. Colour extends under the transparent
# corners so that linear texture filtering does not darken the rim.
token_size=64
super=256
disc_radius=124 # in supersampled pixels: the disc touches the sprite's edges
surface="uu=(i+0.5-$super/2)/$disc_radius; vv=(j+0.5-$super/2)/$disc_radius; rr=max(hypot(uu,vv),1e-6);
  aa = rr<0.66 ? 0.22*rr : (rr<0.78 ? 0.145+0.55*sin(2*pi*(rr-0.66)/0.12) : 0.2+1.15*pow((min(rr,1)-0.78)/0.22,1.4));
  nx=uu/rr*sin(aa); ny=vv/rr*sin(aa); nz=cos(aa);"
diffuse_fx="$surface 0.22+0.78*max(0,-0.42*nx-0.52*ny+0.744*nz)"
highlight_fx="$surface 0.85*pow(max(0,-0.223*nx-0.276*ny+0.935*nz),60)"
coverage_fx="max(0,min(1,$disc_radius-hypot(i+0.5-$super/2,j+0.5-$super/2)+0.5))"

# gray_fx EXPRESSION: image-list arguments for a supersampled one-channel image.
gray_fx() {
  printf '%s\0' -size "${super}x${super}" xc:black -channel R -fx "$1" -separate +channel
}

make_token() { # output, shadow colour, lit colour
  local diffuse highlight coverage
  mapfile -d '' diffuse < <(gray_fx "$diffuse_fx")
  mapfile -d '' highlight < <(gray_fx "$highlight_fx")
  mapfile -d '' coverage < <(gray_fx "$coverage_fx")
  "$im" "${diffuse[@]}" -colorspace sRGB +level-colors "$2,$3" \
    \( -size "${super}x${super}" xc:white \( "${highlight[@]}" \) -alpha off -compose copy_opacity -composite \) \
    -compose over -composite -alpha off -filter box -resize "${token_size}x${token_size}" \
    \( "${coverage[@]}" -filter box -resize "${token_size}x${token_size}" \) \
    -alpha off -compose copy_opacity -composite \
    "${png_options[@]}" "PNG32:$1"
}

blue_colours=('#051a52' '#5aa2ff') # shadow, lit
red_colours=('#4a0508' '#ff6a5c')
make_token "$images/bluetoken.png" "${blue_colours[@]}"
make_token "$images/redtoken.png" "${red_colours[@]}"

# ---------------------------------------------------------------- backdrop
# Calm cool grey, a little lighter at the top, darker towards the corners, with a
# faint grid every 32 pixels (5 world units) and a slightly stronger line every
# 160 pixels (25 units). Opaque.
"$im" -size "${width}x${height}" gradient:'#c4c8ce'-'#aab0b8' \
  \( -size "${width}x${height}" radial-gradient:'#ffffff'-'#d4d4d4' \) -compose multiply -composite \
  \( -size "${width}x${height}" xc:none -fill none -stroke 'rgba(40,50,70,0.07)' -strokewidth 1 \
     -draw "$(for x in $(seq 32 32 $((width - 1))); do printf 'line %s,0 %s,%s ' "$x" "$x" "$height"; done)" \
     -draw "$(for y in $(seq 32 32 $((height - 1))); do printf 'line 0,%s %s,%s ' "$y" "$width" "$y"; done)" \
     -stroke 'rgba(40,50,70,0.08)' \
     -draw "$(for x in 160 320 480; do printf 'line %s,0 %s,%s ' "$x" "$x" "$height"; done)" \
     -draw "$(for y in 160 320; do printf 'line 0,%s %s,%s ' "$y" "$width" "$y"; done)" \) \
  -compose over -composite -alpha off "${screen_options[@]}" "PNG24:$images/gray.png"

# ---------------------------------------------------------------- screens
# The three screens share a night-blue backdrop with the play field's grid, so
# moving from them into play feels like one place.
screen_base() { # output
  "$im" -size "${width}x${height}" gradient:'#101834'-'#253c68' \
    \( -size "${width}x${height}" radial-gradient:'#ffffff'-'#7a7a7a' \) -compose multiply -composite \
    \( -size "${width}x${height}" xc:none -fill none -stroke 'rgba(170,200,255,0.06)' -strokewidth 1 \
       -draw "$(for x in $(seq 32 32 $((width - 1))); do printf 'line %s,0 %s,%s ' "$x" "$x" "$height"; done)" \
       -draw "$(for y in $(seq 32 32 $((height - 1))); do printf 'line 0,%s %s,%s ' "$y" "$width" "$y"; done)" \) \
    -compose over -composite -alpha off "MIFF:$1"
}

# token_at FILE SIZE X Y OPACITY: image-list arguments that lay a token over the picture.
token_at() {
  printf '%s\0' \( "$1" -resize "${2}x${2}" -channel A -evaluate multiply "$5" +channel \) \
    -geometry "+$3+$4" -compose over -composite
}

# shadowed_text FONT SIZE COLOUR Y TEXT: centred text with a soft drop shadow.
shadowed_text() {
  printf '%s\0' \
    \( -size "${width}x${height}" xc:none -stroke none -gravity north -font "$1" -pointsize "$2" -fill 'rgba(0,0,10,0.75)' \
       -annotate "+3+$(($4 + 4))" "$5" -blur 0x6 \) -gravity northwest -compose over -composite \
    \( -size "${width}x${height}" xc:none -stroke none -gravity north -font "$1" -pointsize "$2" -fill "$3" \
       -annotate "+0+$4" "$5" \) -gravity northwest -compose over -composite
}

# button Y TEXT: the magenta pill that asks for a click, centred.
button() {
  local half=$(( ($(printf '%s' "$2" | wc -c) * 17 + 60) / 2 ))
  printf '%s\0' \
    \( -size "${width}x${height}" xc:none -stroke none -fill 'rgba(0,0,0,0.55)' \
       -draw "roundrectangle $((width / 2 - half + 3)),$(($1 + 5)) $((width / 2 + half + 3)),$(($1 + 57)) 26,26" -blur 0x5 \) \
    -compose over -composite \
    \( -size "${width}x${height}" xc:none -fill "$wall_colour" -stroke '#ffb3f7' -strokewidth 2 \
       -draw "roundrectangle $((width / 2 - half)),$1 $((width / 2 + half)),$(($1 + 52)) 26,26" \) \
    -compose over -composite \
    \( -size "${width}x${height}" xc:none -stroke none -gravity north -font "$bold" -pointsize 26 -fill white \
       -annotate "+0+$(($1 + 10))" "$2" \) -gravity northwest -compose over -composite
}

list_of() { mapfile -d '' "$1" < <("${@:2}"); }

blue="$images/bluetoken.png"
red="$images/redtoken.png"

screen_base "$work/base.miff"

# Title: the name, a tagline, a little scene (a ball's trail bouncing off a
# wall, attractors with their pull rings) and the prompt.
list_of name shadowed_text "$bold" 84 white 70 "Tumblewell"
list_of tagline shadowed_text "$regular" 22 '#a9c4ea' 178 "a little physics sandbox"
list_of prompt button 398 "Click to start"
decor=()
for step in "20 96 236 0.15" "24 120 252 0.25" "28 146 272 0.4" "32 174 296 0.6"; do
  read -r size x y opacity <<< "$step"
  list_of one token_at "$blue" "$size" "$x" "$y" "$opacity"; decor+=("${one[@]}")
done
list_of one token_at "$blue" 36 236 284 1; decor+=("${one[@]}")
list_of one token_at "$blue" 36 520 250 1; decor+=("${one[@]}")
list_of one token_at "$blue" 28 372 318 0.85; decor+=("${one[@]}")
list_of one token_at "$red" 46 445 290 1; decor+=("${one[@]}")
"$im" "$work/base.miff" \
  -fill none -stroke 'rgba(255,110,100,0.25)' -strokewidth 2 \
  -draw "circle 468,313 468,351" -draw "circle 468,313 468,381" \
  -stroke "$wall_colour" -strokewidth 6 -draw "line 150,338 300,316" \
  -draw "line 548,362 618,322" \
  "${decor[@]}" "${name[@]}" "${tagline[@]}" "${prompt[@]}" \
  -alpha off "${screen_options[@]}" "PNG24:$images/titlescreen.png"

# Instructions: one row per control, an icon of the key or the mouse action on
# the left, what it does on the right.
keycap() { # output, letter
  "$im" -size 52x56 xc:none -fill '#7f8ca4' -draw 'roundrectangle 1,6 50,54 9,9' \
    -fill '#eef2f8' -draw 'roundrectangle 1,1 50,48 9,9' \
    -gravity center -font "$bold" -pointsize 28 -fill '#1a2a4a' -annotate +0-4 "$2" "MIFF:$1"
}
mouse_icon() { # output: a mouse with its left button lit in the wall colour
  "$im" -size 44x64 xc:none -fill '#dfe6f0' -stroke '#7f8ca4' -strokewidth 2 \
    -draw 'roundrectangle 2,2 41,61 19,19' \
    -fill "$wall_colour" -draw 'path "M 2,26 L 2,21 A 19,19 0 0 1 21.5,2 L 21.5,26 Z"' \
    -fill none -draw 'line 2,26 41,26' -draw 'line 21.5,2 21.5,26' "MIFF:$1"
}
keycap "$work/key-m.miff" m
keycap "$work/key-a.miff" a
mouse_icon "$work/mouse.miff"

# row Y TITLE DETAIL: the two lines of text of a row.
row() {
  printf '%s\0' \
    -stroke none -font "$bold" -pointsize 24 -fill white -annotate "+236+$(($1 + 26))" "$2" \
    -font "$regular" -pointsize 16 -fill '#a9c4ea' -annotate "+236+$(($1 + 52))" "$3"
}
# at FILE X Y: image-list arguments that lay a picture over the screen.
at() { printf '%s\0' "$1" -geometry "+$2+$3" -compose over -composite; }

list_of heading shadowed_text "$bold" 40 white 28 "How to play"
list_of prompt button 404 "Click to play"
rows=()
y=104
for entry in \
  "Drop a ball|press the m key" \
  "Add an attractor|press the a key; it pulls every ball towards it" \
  "Draw a wall: left click twice|the first click starts it, the second click ends it" \
  "Move an attractor|press on it with the left button and drag"; do
  list_of one row "$y" "${entry%%|*}" "${entry#*|}"; rows+=("${one[@]}")
  y=$((y + 72))
done
icons=()
list_of one at "$work/key-m.miff" 80 104; icons+=("${one[@]}")
list_of one token_at "$blue" 40 156 110 1; icons+=("${one[@]}")
list_of one at "$work/key-a.miff" 80 176; icons+=("${one[@]}")
list_of one token_at "$red" 40 156 182 1; icons+=("${one[@]}")
list_of one at "$work/mouse.miff" 84 244; icons+=("${one[@]}")
list_of one at "$work/mouse.miff" 84 316; icons+=("${one[@]}")
list_of one token_at "$red" 40 166 328 1; icons+=("${one[@]}")
"$im" "$work/base.miff" "${icons[@]}" \
  -stroke none -font "$bold" -pointsize 22 -fill white -annotate +132+278 "×2" \
  -stroke "$wall_colour" -strokewidth 6 -draw "line 168,288 206,262" \
  -stroke '#a9c4ea' -strokewidth 3 -fill none -draw "line 134,348 158,348" \
  -fill '#a9c4ea' -stroke none -draw "polygon 160,348 150,342 150,354" \
  "${rows[@]}" "${heading[@]}" "${prompt[@]}" \
  -alpha off "${screen_options[@]}" "PNG24:$images/instructions.png"

# Game over: the words, a thank-you, and a few tokens come to rest on a wall.
list_of words shadowed_text "$bold" 80 white 120 "Game over"
list_of thanks shadowed_text "$regular" 22 '#a9c4ea' 232 "Thanks for playing Tumblewell"
resting=()
for token in "$blue 34 214 331" "$blue 34 250 333" "$red 34 286 335" "$blue 34 322 337" "$blue 34 358 339"; do
  read -r file size x y <<< "$token"
  list_of one token_at "$file" "$size" "$x" "$y" 0.9; resting+=("${one[@]}")
done
"$im" "$work/base.miff" \
  -stroke "$wall_colour" -strokewidth 6 -draw "line 180,366 440,376" \
  "${resting[@]}" "${words[@]}" "${thanks[@]}" \
  -alpha off "${screen_options[@]}" "PNG24:$images/gameover.png"

# ---------------------------------------------------------------- icon
# The desktop icon: a ball come to rest on a wall under an attractor, on the
# screens' night blue. Drawn at 512 pixels and box-filtered down to each size
# an icon theme asks for, and drawn again from the same geometry as SVG for
# the scalable size, its tokens shaded with gradients.
icon_frame=(20 491 96 '#1b2d5c' '#3a5590' 8) # first and last pixel, corner radius, fill, edge, edge width
icon_wall=(78 366 434 300 30)                  # from, to, width
icon_ball=(150 122 180)                        # size, left, top
icon_attractor=(130 300 64)
list_of ball token_at "$blue" "${icon_ball[@]}" 1
list_of attractor token_at "$red" "${icon_attractor[@]}" 1
"$im" -size 512x512 xc:none -fill "${icon_frame[3]}" -stroke "${icon_frame[4]}" -strokewidth "${icon_frame[5]}" \
  -draw "roundrectangle ${icon_frame[0]},${icon_frame[0]} ${icon_frame[1]},${icon_frame[1]} ${icon_frame[2]},${icon_frame[2]}" \
  -stroke "$wall_colour" -strokewidth "${icon_wall[4]}" \
  -draw "line ${icon_wall[0]},${icon_wall[1]} ${icon_wall[2]},${icon_wall[3]}" \
  "${ball[@]}" "${attractor[@]}" "MIFF:$work/icon.miff"
for size in 48 64 128; do
  "$im" "$work/icon.miff" -filter box -resize "${size}x${size}" "${png_options[@]}" \
    "PNG32:$root/packaging/icon-$size.png"
done

# mix COLOUR COLOUR FRACTION: the colour that far from the first to the second.
mix() {
  printf '#'
  for i in 1 3 5; do
    printf '%02x' "$(( $((16#${1:i:2})) + ($((16#${2:i:2})) - $((16#${1:i:2}))) * $3 / 100 ))"
  done
}

# svg_token ID SIZE LEFT TOP SHADOW LIT: a token as make_token shades it, in
# gradients: a flat face (80% lit), an engraved ring and a bevelled rim lit
# from the upper left, and a glint on the ring's upper left.
svg_token() {
  awk -v id="$1" -v s="$2" -v x="$3" -v y="$4" -v dark="$5" -v lit="$6" -v flat="$(mix "$5" "$6" 80)" \
    -v r="$(( $2 * disc_radius ))" -v n="$super" 'BEGIN {
    r /= n; cx = x + s / 2; cy = y + s / 2
    printf "  <linearGradient id=\"%s\" x1=\"0.15\" y1=\"0.1\" x2=\"0.85\" y2=\"0.9\">\n", id
    printf "    <stop offset=\"0\" stop-color=\"%s\"/><stop offset=\"0.5\" stop-color=\"%s\"/><stop offset=\"1\" stop-color=\"%s\"/>\n", lit, flat, dark
    printf "  </linearGradient>\n"
    printf "  <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"url(#%s)\"/>\n", cx, cy, r, id
    printf "  <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"%s\"/>\n", cx, cy, 0.78 * r, flat
    for (i = 0; i < 2; ++i)
      printf "  <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"none\" stroke=\"url(#%s)\" stroke-width=\"%g\"/>\n", cx, cy, 0.72 * r, i ? "glint" : id, 0.06 * r
  }'
}

# ImageMagick draws lines through pixel centres, half a pixel in from their edges.
{
  cat <<SVG
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="512" height="512" viewBox="0 0 512 512">
  <linearGradient id="glint" x1="0.15" y1="0.1" x2="0.85" y2="0.9">
    <stop offset="0.1" stop-color="#fff" stop-opacity="0.9"/><stop offset="0.4" stop-color="#fff" stop-opacity="0"/>
  </linearGradient>
  <rect x="${icon_frame[0]}.5" y="${icon_frame[0]}.5" width="$((icon_frame[1] - icon_frame[0]))" height="$((icon_frame[1] - icon_frame[0]))" rx="${icon_frame[2]}" fill="${icon_frame[3]}" stroke="${icon_frame[4]}" stroke-width="${icon_frame[5]}"/>
  <line x1="${icon_wall[0]}.5" y1="${icon_wall[1]}.5" x2="${icon_wall[2]}.5" y2="${icon_wall[3]}.5" stroke="$wall_colour" stroke-width="${icon_wall[4]}"/>
SVG
  svg_token ball "${icon_ball[@]}" "${blue_colours[@]}"
  svg_token attractor "${icon_attractor[@]}" "${red_colours[@]}"
  echo '</svg>'
} > "$root/packaging/icon.svg"

# ---------------------------------------------------------------- sounds
# The helper writes the eight-bar loop and the click as 16-bit 44.1 kHz WAV;
# lame turns the loop into a 128 kbit/s MP3 whose LAME tag records the encoder
# delay and padding, so a gapless decoder returns exactly the source's frames.
g++ -std=c++17 -O2 -Wall -Wextra -o "$work/music-synth" "$root/scripts/music-synth.cpp"
"$work/music-synth" "$work/music.wav" "$audio/click.wav"
lame --quiet -b 128 -q 2 "$work/music.wav" "$audio/backgroundmusic.mp3"

# byte_at FILE OFFSET: one byte of a file as a number.
byte_at() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }

# Prints the gapless-playback figures from the LAME tag that follows the Info header.
report_gapless() {
  local file=$1 info flags offset delay padding
  info=$(grep -obUaP 'Info|Xing' "$file" | head -n1 | cut -d: -f1)
  flags=$(byte_at "$file" $((info + 7)))
  offset=$((info + 8))
  # Optional fields before the LAME tag: frame count, byte count, seek table, quality.
  if (( flags & 1 )); then offset=$((offset + 4)); fi
  if (( flags & 2 )); then offset=$((offset + 4)); fi
  if (( flags & 4 )); then offset=$((offset + 100)); fi
  if (( flags & 8 )); then offset=$((offset + 4)); fi
  delay=$(( ($(byte_at "$file" $((offset + 21))) << 4) | ($(byte_at "$file" $((offset + 22))) >> 4) ))
  padding=$(( (($(byte_at "$file" $((offset + 22))) & 15) << 8) | $(byte_at "$file" $((offset + 23))) ))
  echo "$file: LAME tag encoder delay $delay, padding $padding samples"
}
report_gapless "$audio/backgroundmusic.mp3"
echo "decoded peak level (dBFS, overall/left/right):" \
  "$(sox "$audio/backgroundmusic.mp3" -n stats 2>&1 | sed -n 's/^Pk lev dB *//p')"
ls -l "$images" "$audio"
