#!/bin/sh
# Makes the pictures, spoken clips and video clips of the example quizzes.
# The results are committed, so this only needs to run again after a change.
# Needs ImageMagick (convert) with the DejaVu fonts, espeak-ng, sox, lame,
# python3.
#
# The audio clips are MP3, as authors give them: the player writes a clip's
# bytes to vetraN.mp3.
set -eu
cd "$(dirname "$0")"
FONT=DejaVu-Sans

# picture OUT SHAPE COLOUR [LABEL]: a 200x150 shape, with its name written
# under it for a solution picture.
picture() {
  out=$1 shape=$2 colour=$3 label=${4:-}
  case $shape in
    cercle)   draw="circle 100,70 100,28" ;;
    triangle) draw="polygon 100,22 152,115 48,115" ;;
    carre)    draw="rectangle 58,28 142,112" ;;
  esac
  set -- -size 200x150 xc:'#FFFDF0' -fill "$colour" -stroke black -strokewidth 2 -draw "$draw"
  if [ -n "$label" ]; then
    set -- "$@" -stroke none -fill black -font "$FONT" -pointsize 20 -gravity south -annotate +0+6 "$label"
  fi
  case $out in
    *.png) convert "$@" -colors 16 -strip PNG8:"$out" ;;
    *.jpg) convert "$@" -strip -quality 60 "$out" ;;
  esac
}

mkdir -p pictures/media audio/media video/media
# Both picture formats in both places: JPEG goes to the platform decoder,
# PNG to the player's own.
picture pictures/media/1.jpg cercle '#E04040'
picture pictures/media/1-solution.png cercle '#E04040' 'un cercle'
picture pictures/media/2.png triangle '#40A040'
picture pictures/media/2-solution.jpg triangle '#40A040' 'un triangle'
picture pictures/media/3.png carre '#4060E0'
picture pictures/media/3-solution.png carre '#4060E0' 'un carré'

# Spoken words, 16 kHz mono at 32 kbit/s to stay small; no tag, so the same
# encoder gives the same bytes.
n=1
for word in Paris Londres Rome; do
  espeak-ng -v fr -s 130 -w audio/media/tmp.wav "$word"
  sox audio/media/tmp.wav -r 16000 -c 1 audio/media/tmp16.wav
  lame --quiet -m m -b 32 -t --noreplaygain audio/media/tmp16.wav "audio/media/$n.mp3"
  n=$((n + 1))
done
rm -f audio/media/tmp.wav audio/media/tmp16.wav

python3 make-avi.py video/media/1.avi E02020
python3 make-avi.py video/media/2.avi 2040E0
