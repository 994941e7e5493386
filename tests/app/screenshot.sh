#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real window on a real X server: round, showing the dial, its digits lit.
# The root window is black, so whatever the window's shape cuts away shows black.
#   screenshot.sh <chronivel executable> [folder to keep the screenshot in]
set -euo pipefail
keep=${2:-}
source "$(dirname "$0")/xsession.sh" "$1" -br

start_program
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
((WIDTH == 224 && HEIGHT == 224)) || fail "the window is ${WIDTH}x$HEIGHT, not 224x224"
shot=$work/window.png
sleep 1  # the first paint
import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$shot" || fail "no screenshot"
[[ -n $keep ]] && cp "$shot" "$keep/chronivel-window.png"

pixel() { convert "$shot" -format "%[fx:int(255*p{$1,$2}.r+.5)] %[fx:int(255*p{$1,$2}.g+.5)] %[fx:int(255*p{$1,$2}.b+.5)]" info:; }
expect_pixel() {
    local x=$1 y=$2 r g b
    read -r r g b <<<"$(pixel "$x" "$y")"
    ((r == $3 && g == $4 && b == $5)) || fail "pixel $x,$y is $r,$g,$b, expected $3,$4,$5 ($6)"
}

# Outside the circle: the window is not there.
for corner in "3 3" "220 3" "3 220" "220 220" "0 112" "112 0"; do
    expect_pixel $corner 0 0 0 "outside the circle"
done
# Just inside the rim: the dial's metal, not the background.
read -r r g b <<<"$(pixel 112 3)"
((r + g + b > 200)) || fail "pixel 112,3 is $r,$g,$b: the circle does not reach its edge"
# The plate below the readout has the colour of the dial's centre.
expect_pixel 112 165 170 186 192 "the dial plate"
# The readout shows 00:00.00,000 in lime: every digit lights six segments.
lime=$(convert "$shot" -crop 197x33+14+91 +repage -fx '(g>0.8 && r<0.3 && b<0.3)' -format '%[fx:int(mean*w*h)]' info:)
((lime > 900)) || fail "only $lime lime pixels in the readout"
# The last digit alone: image 1 sits at 175..190 of the panel.
lime=$(convert "$shot" -crop 16x25+$((14 + 175))+$((91 + 4)) +repage -fx '(g>0.8 && r<0.3 && b<0.3)' -format '%[fx:int(mean*w*h)]' info:)
((lime > 60)) || fail "the thousandths digit is not lit ($lime lime pixels)"
echo "PASS: round window, dial plate, lit digits"
