#!/bin/sh
# Builds the Debian package dist/serimo_<version>_<arch>.deb from this tree and
# checks it with lintian and the AppStream validator. DEB_BUILD_OPTIONS is
# honoured (nocheck skips the unit tests); parallel defaults to the core count.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --package

# dpkg-buildpackage writes next to the source tree, so it builds a copy of
# the tree inside dist/.
scratch=dist/build
rm -rf "$scratch" dist/serimo_*
mkdir -p "$scratch/serimo"
tar --exclude=./.git --exclude='./build*' --exclude=./dist --exclude=__pycache__ -cf - . |
    tar -xf - -C "$scratch/serimo"

case " ${DEB_BUILD_OPTIONS:-} " in
    *" parallel="*) ;;
    *) DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }parallel=$(nproc)" ;;
esac
export DEB_BUILD_OPTIONS
# debhelper gives the build a HOME of its own, and with it an empty ccache
# cache by default: the caller's cache is named, so that it is used and kept.
if command -v ccache >/dev/null; then
    CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir)}
    export CCACHE_DIR
fi
(cd "$scratch/serimo" && dpkg-buildpackage -us -uc -b) >dist/build.log 2>&1 || {
    tail -n 40 dist/build.log
    echo "package build failed; the whole log is dist/build.log" >&2
    exit 1
}

lintian --fail-on error "$scratch"/serimo_*.changes
appstreamcli validate --no-net "$scratch"/serimo/debian/serimo/usr/share/metainfo/*.metainfo.xml
mv "$scratch"/serimo_*.deb dist/
rm -rf "$scratch"
ls dist/serimo_*.deb
