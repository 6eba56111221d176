#!/usr/bin/env bash
# Builds the Debian package: a release build in its own tree with Debian's
# hardening flags, `cpack -G DEB`, and lintian on the result when it is
# installed. The package lands in the tree's folder (build-deb/ by default).
#
#   packaging/build-deb.sh [BUILD-DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build-deb}"

"$root/.ci/install-packages"
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
flags() { dpkg-buildflags --get "$1" 2>/dev/null || true; }
export CFLAGS="$(flags CFLAGS) $(flags CPPFLAGS)"
export CXXFLAGS="$(flags CXXFLAGS) $(flags CPPFLAGS)"
export LDFLAGS="$(flags LDFLAGS)"

cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DCLATTERBOX_TESTS=OFF -DCLATTERBOX_PEERS=OFF >/dev/null
cmake --build "$out" -j2
(cd "$out" && cpack -G DEB)

deb=$(ls -t "$out"/clatterbox_*.deb | head -n 1)
echo "package: $deb"
if command -v lintian >/dev/null; then
    lintian --info "$deb"
else
    echo "lintian is not installed; the package was not checked"
fi
