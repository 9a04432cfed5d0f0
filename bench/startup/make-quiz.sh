#!/bin/bash
# Makes the quizzes that scripts/bench-startup times: 96 questions of kind
# "pictures", each picture 640 x 480 with photo-like content (a blurred
# plasma fractal with a little noise), plus three solution pictures that the
# questions share. Writes into build/startup/:
#   media/NN.jpg, media/NN.png   question N's picture in both formats
#   pictures96.toml / .exe       odd questions JPEG, even questions PNG
#   jpeg96.toml / .exe           every picture JPEG (the platform's decoder)
#   png96.toml / .exe            every picture PNG (the player's own decoder)
# The pictures are made once (same seeds, same files); the quizzes are packed
# again on every run so that they always carry the current player.
#
#   bench/startup/make-quiz.sh
#
# VETRA_BUILD=<folder with vetra.exe and quizpack.exe> (default build/win32, or build/win64 where this machine runs no 32-bit code,
# built by scripts/build when that variable is not set).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/scripts/lib/world.sh"
if [ -z "${VETRA_BUILD:-}" ]; then
  "$ROOT/scripts/build" >/dev/null
  VETRA_BUILD="$ROOT/build/$VETRA_WINDOWS"
fi
VETRA_BUILD=$(realpath "$VETRA_BUILD")
OUT="$ROOT/build/startup"
COUNT=96
mkdir -p "$OUT/media"
cd "$OUT"

# picture N: both formats from one 8-bit source. JPEG at quality 85 with 2x2
# chroma subsampling, as a camera or an editor saves; PNG truecolour.
picture() {
  local n=$1 name
  name=$(printf 'media/%02d' "$n")
  [ -f "$name.jpg" ] && [ -f "$name.png" ] && return 0
  convert -size 640x480 -seed "$n" plasma:fractal -blur 0x1.5 -seed "$n" -attenuate 0.2 +noise Gaussian \
    -depth 8 -strip "PNG24:$name.tmp.png"
  convert "$name.tmp.png" -strip -quality 85 -sampling-factor 2x2 "$name.jpg"
  mv "$name.tmp.png" "$name.png"
}
export -f picture

# solution K: a gradient with its number written on it; shown only once a
# question is answered right, so it is not decoded at start-up.
solution() {
  local k=$1 ext=$2 file="media/solution-$1.$2"
  [ -f "$file" ] && return 0
  convert -size 640x480 gradient:'#F0E0A0-#6080C0' -fill black -font DejaVu-Sans -pointsize 72 \
    -gravity center -annotate +0+0 "Solution $k" -depth 8 -strip "$file.tmp.$ext"
  mv "$file.tmp.$ext" "$file"
}

seq 1 "$COUNT" | xargs -P 2 -I{} bash -c 'picture {}'
solution 1 jpg
solution 2 png
solution 3 png

# source NAME FORMAT: FORMAT is jpg, png or mixed (odd JPEG, even PNG).
source_file() {
  local name=$1 format=$2 n ext codes=""
  for n in $(seq 1 "$COUNT"); do codes+="${codes:+, }\"CODE-$n\""; done
  {
    echo 'kind = "pictures"'
    echo "title = \"Start-up bench: $COUNT pictures ($format)\""
    echo 'author = "Vetra"'
    echo 'explanations = "Name each picture."'
    echo 'reveal = "comment-and-picture"'
    echo "reward_codes = [$codes]"
    for n in $(seq 1 "$COUNT"); do
      case $format in
        mixed) if [ $((n % 2)) -eq 1 ]; then ext=jpg; else ext=png; fi ;;
        *) ext=$format ;;
      esac
      echo
      echo '[[question]]'
      echo "answer = \"picture $n\""
      echo "comment = \"Plasma number $n.\""
      printf 'picture = "media/%02d.%s"\n' "$n" "$ext"
      case $((n % 3)) in
        1) echo 'solution = "media/solution-1.jpg"' ;;
        2) echo 'solution = "media/solution-2.png"' ;;
        0) echo 'solution = "media/solution-3.png"' ;;
      esac
    done
  } >"$name.toml"
}
source_file pictures96 mixed
source_file jpeg96 jpg
source_file png96 png

source "$ROOT/scripts/lib/session.sh"
export WINEPREFIX="$WINEPREFIX-startup"
trap session_stop EXIT
session_start_wine
for name in pictures96 jpeg96 png96; do
  if ! "$VETRA_WINE" "$VETRA_BUILD/quizpack.exe" build "$name.toml" -o "$name.exe" --player "$VETRA_BUILD/vetra.exe" \
    </dev/null >"$name.log" 2>&1; then
    echo "make-quiz: quizpack failed on $name.toml:" >&2
    cat "$name.log" >&2
    exit 1
  fi
done
echo "Packed $OUT/pictures96.exe, jpeg96.exe, png96.exe ($(du -sh --apparent-size pictures96.exe | cut -f1) mixed)"
