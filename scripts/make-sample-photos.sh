#!/usr/bin/env bash
# Five photo-like JPEGs (made, not downloaded) for screenshots and manual tries.
set -euo pipefail
out="$1"
mkdir -p "$out"
convert -size 1600x1067 gradient:'#ffcf71'-'#e0607e' \
  -fill '#fff2c6' -draw 'circle 980,640 980,540' \
  -fill '#3d2352' -draw 'path "M 0 820 Q 400 620 800 780 T 1600 720 L 1600 1067 L 0 1067 Z"' \
  -fill '#24122f' -draw 'path "M 0 930 Q 500 820 1000 900 T 1600 880 L 1600 1067 L 0 1067 Z"' \
  -quality 90 "$out/sunset.jpg"
convert -size 1600x1200 gradient:'#8fd3f4'-'#2b6cb0' \
  \( -size 1600x500 gradient:'#1b9aaa'-'#0b3954' \) -geometry +0+700 -composite \
  -fill '#f4e3b2' -draw 'path "M 0 1050 Q 800 950 1600 1080 L 1600 1200 L 0 1200 Z"' \
  -fill white -draw 'circle 300,250 300,215' -draw 'circle 350,240 350,200' -draw 'circle 400,255 400,222' \
  -quality 90 "$out/beach.jpg"
convert -size 1200x1200 gradient:'#b3e5fc'-'#e1f5fe' \
  \( -size 1200x700 gradient:'#9ccc65'-'#33691e' \) -geometry +0+500 -composite \
  -fill '#fdd835' -draw 'circle 380,760 380,700' -draw 'circle 820,880 820,830' \
  -draw 'circle 600,1040 600,975' -fill '#6d4c41' -draw 'circle 380,760 380,740' \
  -draw 'circle 820,880 820,862' -draw 'circle 600,1040 600,1018' \
  -fill '#ffffff' -draw 'circle 950,200 950,150' -quality 90 "$out/meadow.jpg"
convert -size 1500x1000 gradient:'#0d1b3e'-'#4a148c' \
  -fill '#fff9c4' -draw 'circle 1150,260 1150,180' -fill '#1b1a52' -draw 'circle 1110,230 1110,160' \
  -fill '#ffffff' -draw 'circle 300,200 300,194' -draw 'circle 700,120 700,115' \
  -draw 'circle 520,380 520,375' -draw 'circle 900,480 900,474' -draw 'circle 180,520 180,516' \
  -fill '#1a0f2e' -draw 'path "M 0 820 L 300 600 L 520 760 L 800 520 L 1100 800 L 1300 650 L 1500 780 L 1500 1000 L 0 1000 Z"' \
  -quality 90 "$out/night.jpg"
convert -size 1000x1400 gradient:'#fdfbfb'-'#ebedee' \
  -fill '#ff7043' -draw 'roundrectangle 200,300 800,1100 60,60' \
  -fill '#ffe0b2' -draw 'circle 500,700 500,520' \
  -fill '#5d4037' -draw 'circle 430,650 430,635' -draw 'circle 570,650 570,635' \
  -stroke '#5d4037' -strokewidth 14 -fill none -draw 'arc 420,700 580,820 20,160' \
  -quality 90 "$out/smile.jpg"
