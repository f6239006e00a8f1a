# Fetches and unpacks Debian source packages, the only place the Windows build takes
# third-party sources from; sourced by build-windows and packaging/windows/qt/build-qt.

# Adds a deb-src entry for every Debian archive that apt already uses for binaries (same
# mirrors, same suites), once, so that `apt-get source` works on a machine set up for
# binaries only.
scaledesk_enable_deb_src() {
    apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    local list=/etc/apt/sources.list.d/scaledesk-deb-src
    if compgen -G "/etc/apt/sources.list.d/*.sources" >/dev/null; then
        awk 'BEGIN { RS = ""; ORS = "\n\n" } /debian\.org|debian-archive-keyring/' \
            /etc/apt/sources.list.d/*.sources | sed 's/^Types:.*/Types: deb-src/' |
            $sudo tee "$list.sources" >/dev/null
    fi
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb \(.*debian\.org.*\)/deb-src \1/p' /etc/apt/sources.list | $sudo tee "$list.list" >/dev/null
    fi
    echo "Added Debian's source archives to apt ($list.*)"
    $sudo apt-get update -qq
}

# scaledesk_debian_source PACKAGE=VERSION DIR: the unpacked source tree of exactly that
# version in DIR/PACKAGE-UPSTREAM_VERSION, with Debian's patches applied; fetched once and
# kept (DIR is a cache). Prints the tree's path.
scaledesk_debian_source() {
    local wanted=$1 dir
    mkdir -p "$2" && dir=$(realpath "$2")
    local package=${wanted%%=*} version=${wanted#*=}
    local upstream=${version#*:}
    upstream=${upstream%-*}
    local tree="$dir/$package-$upstream"
    if [ ! -f "$tree/.scaledesk-unpacked" ]; then
        scaledesk_enable_deb_src >&2
        rm -rf "$tree"
        (cd "$dir" && apt-get source -qq --download-only "$wanted" >&2 &&
            dpkg-source -x "${package}_${version#*:}.dsc" "$tree" >/dev/null) ||
            return 1
        touch "$tree/.scaledesk-unpacked"
    fi
    echo "$tree"
}
