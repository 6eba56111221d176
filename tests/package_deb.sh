#!/usr/bin/env bash
# The Debian package of the build tree: cpack makes it; it holds the programs,
# textures, desktop entry, icons, metadata and compressed manual pages under
# /usr, owned by root; it depends on SDL2 and Mesa's GL, GLU and EGL; lintian
# finds no error and no warning in it.
#
#   package_deb.sh BUILD-DIR
set -euo pipefail
BUILD=$(realpath "$1")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$WORK/cpack.log")"
deb=$(ls "$WORK"/clatterbox_*.deb 2>/dev/null | head -n 1)
[[ -n "$deb" ]] || fail "cpack wrote no package: $(cat "$WORK/cpack.log")"

dpkg-deb -c "$deb" >"$WORK/contents"
for file in usr/bin/clatterbox usr/bin/clatterbox-sim usr/bin/clatterbox-shot \
    usr/bin/clatterbox-image usr/bin/clatterbox-make-textures usr/share/clatterbox/floor.bmp \
    usr/share/applications/org.clatterbox.Clatterbox.desktop \
    usr/share/metainfo/org.clatterbox.Clatterbox.metainfo.xml \
    usr/share/icons/hicolor/48x48/apps/clatterbox.png usr/share/man/man6/clatterbox.6.gz \
    usr/share/doc/clatterbox/copyright usr/share/doc/clatterbox/changelog.gz; do
    grep -q " \./$file\$" "$WORK/contents" || fail "the package lacks /$file"
done
if awk '{ print $2 }' "$WORK/contents" | grep -v '^root/root$' >/dev/null; then
    fail "files in the package not owned by root"
fi
if awk '{ print $6 }' "$WORK/contents" | grep -v '^\./usr/' | grep -v '^\./$' >/dev/null; then
    fail "files in the package outside /usr"
fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libsdl2 libgl1-mesa-dri libegl libglu1-mesa libopengl0; do
    [[ "$depends" == *"$library"* ]] || fail "the package does not depend on $library"
done

command -v lintian >/dev/null || fail "lintian is not installed"
# As root lintian says so on stderr; the tags are on stdout.
lintian --fail-on error,warning "$deb" >"$WORK/lintian" 2>"$WORK/lintian.err" || {
    cat "$WORK/lintian" "$WORK/lintian.err" >&2
    fail "lintian found errors or warnings"
}
cat "$WORK/lintian"
echo "PASS: $(basename "$deb") built, laid out under /usr and clean of lintian errors and warnings"
