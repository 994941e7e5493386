#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The files a desktop reads about Chronivel, checked as its tools check them,
# and against the program itself: the desktop entry, the AppStream entry, the
# manual page, the icons and README's key table. The window's class, which the
# entry names for the desktop to match windows to it, is read from the real
# window under Xvfb.
#   desktop_files.sh <chronivel executable> <source folder> <readmekeys executable>
set -uo pipefail
linux=$2/assets/linux
entry=$linux/org.orvantis.Chronivel.desktop
metainfo=$linux/org.orvantis.Chronivel.metainfo.xml

failures=0
problem() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# It reports hints with status 0.
out=$(desktop-file-validate "$entry" 2>&1)
[[ $? == 0 && -z $out ]] || problem "desktop-file-validate says: $out"
# Warnings fail too: a software centre may drop an entry for them.
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || problem "appstreamcli: $out"
! grep -E '^[EW]:' <<<"$out" >/dev/null || problem "appstreamcli says: $out"
out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$linux/chronivel.1" 2>&1 >/dev/null)
[[ -z $out ]] || problem "the manual page: $out"

value() { sed -n "s/^$1=//p" "$entry"; }
[[ $(value Exec) == chronivel ]] || problem "Exec is '$(value Exec)'"
[[ $(value Icon) == org.orvantis.Chronivel ]] || problem "Icon is '$(value Icon)'"
grep -q '<launchable type="desktop-id">org.orvantis.Chronivel.desktop</launchable>' "$metainfo" ||
    problem "the AppStream entry launches no org.orvantis.Chronivel.desktop"

# The release and the manual page's header name the version the program reports.
version=$(env -u DISPLAY "$1" --version | sed -n 's/^chronivel //p')
grep -q "<release version=\"$version\"" "$metainfo" || problem "no release $version in the AppStream entry"
grep -q "^\.TH CHRONIVEL 1 .*\"Chronivel $version\"" "$linux/chronivel.1" || problem "the manual page is not of $version"

# README's key table is the one the command table gives (tools/readme-keys
# writes it), and the manual page lists every key that --help lists (its
# Ctrl+Ins is Ctrl+Insert).
diff <("$3") <(sed -n '/^| Key | Does |$/,/^[^|]/{/^|/p}' "$2/README.md") >/dev/null ||
    problem "README's key table is not the command table's; run tools/readme-keys"
while read -r key; do
    grep -qE "^\.BR? (.* )?${key//+/\\+}( |$)" "$linux/chronivel.1" ||
        problem "the manual page lacks $key, which chronivel --help lists"
done < <(env -u DISPLAY "$1" --help | sed -n '/^Keys:/,/^Whichever/{/^  /p}' | sed -E 's/^  //; s/ {2,}/\t/g' |
         awk -F'\t' '{ for (i = 1; i <= NF; i += 2) print $i }' | tr ',' '\n' |
         sed -E 's/^ +//; s/ +$//; s/^Ctrl\+Ins$/Ctrl+Insert/')

# The screenshot's size as the AppStream entry states it.
size=$(identify -format '%w %h' "$linux/screenshot.png") || problem "no screenshot"
read -r w h <<<"$size"
grep -q "<image type=\"source\" width=\"$w\" height=\"$h\">" "$metainfo" ||
    problem "the screenshot is ${w}x$h, not what the AppStream entry says"

# Each PNG is the SVG at its size, as tools/icons renders it: a changed SVG
# whose PNGs were not made again shows a different icon in each menu.
for n in 16 32 48 64 128 256; do
    png=$linux/icons/${n}x$n/chronivel.png
    [[ $(identify -format '%w %h' "$png" 2>/dev/null) == "$n $n" ]] || { problem "$png is not ${n}x$n"; continue; }
    fresh=$(mktemp --suffix=.png)
    rsvg-convert --width "$n" --height "$n" --format png --output "$fresh" "$linux/chronivel.svg"
    differ=$(compare -metric AE -fuzz 2% "$png" "$fresh" null: 2>&1)
    rm -f "$fresh"
    [[ $differ == 0 ]] || problem "$png differs from the SVG in $differ pixels; run tools/icons"
done

# The licence: each source file says which, and the AppStream entry and the
# package's copyright file say the same as LICENSE.
spdx='SPDX-License-Identifier: GPL-3.0-or-later'
grep -q 'GNU GENERAL PUBLIC LICENSE' "$2/LICENSE" && grep -q 'Version 3, 29 June 2007' "$2/LICENSE" ||
    problem "LICENSE is not the GNU GPL version 3"
unlabelled=$(cd "$2" && find src tests tools bench cmake .ci assets/help CMakeLists.txt -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.sh' -o -name '*.py' -o -name '*.cmake' \
       -o -name CMakeLists.txt -o -name '*.html' -o -perm -u+x \) -exec grep -L "$spdx" {} +)
[[ -z $unlabelled ]] || problem "without the line '$spdx': $unlabelled"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" ||
    problem "the AppStream entry names no project_license GPL-3.0-or-later"
grep -q '^License: GPL-3.0+$' "$linux/copyright" && ! grep -q 'all-rights-reserved' "$linux/copyright" ||
    problem "the copyright file does not grant the GPL-3.0+"

# The window's class (WM_CLASS, its second string) is what StartupWMClass must name.
source "$(dirname "$0")/xsession.sh" "$1"
start_program
class=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = ".*", "\(.*\)"$/\1/p')
[[ -n $class ]] || fail "the window has no WM_CLASS"
[[ $(value StartupWMClass) == "$class" ]] || problem "StartupWMClass is '$(value StartupWMClass)', the window's class '$class'"

((failures == 0)) || exit 1
echo "PASS"
