#!/usr/bin/env bash
# The installed demo: `cmake --install` into a temporary prefix lays out the
# programs, textures, desktop entry, icons, AppStream metadata and manual
# pages, which the desktop's validators accept and man renders. The installed
# command, started from a folder without textures, finds the installed ones
# (no error box, the textured floor on screen); a floor texture of the user's
# own in the working directory wins over the installed one.
source "$(dirname "$0")/lib.sh"

BUILD=$(dirname "$CLATTERBOX")
PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 ||
    fail "cmake --install failed: $(cat "$WORK/install.log")"

for file in bin/clatterbox bin/clatterbox-sim bin/clatterbox-shot bin/clatterbox-image \
    bin/clatterbox-make-textures share/clatterbox/body.bmp share/clatterbox/floor.bmp \
    share/clatterbox/env.bmp share/applications/org.clatterbox.Clatterbox.desktop \
    share/metainfo/org.clatterbox.Clatterbox.metainfo.xml \
    share/icons/hicolor/16x16/apps/clatterbox.png share/icons/hicolor/256x256/apps/clatterbox.png \
    share/man/man6/clatterbox.6.gz share/man/man1/clatterbox-sim.1.gz \
    share/doc/clatterbox/copyright; do
    [[ -f "$PREFIX/$file" ]] || fail "cmake --install did not lay out $file"
done

for tool in desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
desktop-file-validate "$PREFIX/share/applications/org.clatterbox.Clatterbox.desktop" ||
    fail "desktop-file-validate refused the desktop entry"
appstreamcli validate --no-net "$PREFIX/share/metainfo/org.clatterbox.Clatterbox.metainfo.xml" ||
    fail "appstreamcli refused the metainfo file"
for page in "$PREFIX"/share/man/man*/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [[ -z "$warnings" ]] || fail "man warns on $(basename "$page"): $warnings"
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" | grep -q '^NAME' ||
        fail "$(basename "$page") renders without a NAME section"
done

PICTURES="$TOOLS/e2e_pictures"
mkdir -p "$PICTURES"
# fraction_where FILE EXPR: the share of the near floor where the expression holds.
fraction_where() {
    convert "$1" -crop 440x110+100+360 +repage -fx "($2) ? 1 : 0" -format '%[fx:mean]' info:
}

# From a folder with no textures, as from the desktop's menu or a terminal
# anywhere.
CLATTERBOX="$PREFIX/bin/clatterbox"
ASSETS="$WORK/elsewhere"
mkdir -p "$ASSETS"
start_xvfb
start_app
wait_for_caption '^Clatterbox - Billiards 1  \([0-9]+\.[0-9] fps\)   $' >/dev/null
sleep 1
[[ ! -s "$WORK/app.err" ]] || fail "the installed demo reported errors"
screenshot "$PICTURES/installed_start.png"
cream=$(fraction_where "$PICTURES/installed_start.png" 'r - b > 0.03')
blue=$(fraction_where "$PICTURES/installed_start.png" 'b - r > 0.03')
echo "installed demo, near floor: cream tiles $cream, blue tiles $blue"
awk -v c="$cream" -v b="$blue" 'BEGIN { exit !(c > 0.2 && b > 0.2) }' ||
    fail "the installed demo does not show the textured floor (cream $cream, blue $blue)"
press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after Esc"

# A red floor of the user's own in the working directory.
convert -size 256x256 xc:'rgb(200,30,30)' -type TrueColor BMP3:"$ASSETS/floor.bmp"
start_app
wait_for_caption '^Clatterbox - Billiards 1  \([0-9]+\.[0-9] fps\)   $' >/dev/null
sleep 1
[[ ! -s "$WORK/app.err" ]] || fail "the installed demo reported errors with a floor of its own"
screenshot "$PICTURES/installed_own_floor.png"
red=$(fraction_where "$PICTURES/installed_own_floor.png" 'r - g > 0.2 && r - b > 0.2')
echo "installed demo with its own floor.bmp: red share of the near floor $red"
awk -v r="$red" 'BEGIN { exit !(r > 0.6) }' ||
    fail "the working directory's floor.bmp did not win (red share $red)"
press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after Esc"
echo "PASS: installed layout valid; installed demo finds its textures from any folder"
