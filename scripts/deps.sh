# Installs what ScaleDesk needs to build and test, from Debian's packages; sourced by the
# other scripts. Packages already there are left alone, so a second run costs nothing.

SCALEDESK_PACKAGES=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-serialport-dev libgl-dev
    googletest libgtest-dev
    libfreexl-dev
    libxlsxwriter-dev libminizip-dev python3-openpyxl
    libcpp-httplib-dev python3-jsonschema
    libsqlite3-dev
)
# For scripts/test only: dpkg-shlibdeps gives the Debian package its versioned dependencies
# (the Qt it was built against), groff renders the manual page the help test reads,
# systemd-analyze checks the hot folder's unit, and the sqlite3 shell changes a journal behind
# the program's back, as someone covering tracks would.
SCALEDESK_TEST_PACKAGES=(dpkg-dev groff-base systemd sqlite3)

scaledesk_install_deps() {
    local missing=()
    local pkg
    for pkg in "${SCALEDESK_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "These Debian packages are missing: ${missing[*]}" >&2
            echo "Installing them needs root, and sudo is not installed. Either run this script" >&2
            echo "as root (su -c '$0'), or ask an administrator to run:" >&2
            echo "    apt-get install ${missing[*]}" >&2
            return 1
        fi
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# The compiler cache keys files by their paths inside the tree, so another clone of it (CI's
# fresh one) reuses what an earlier build compiled.
export CCACHE_BASEDIR="$SCALEDESK_ROOT"
export CCACHE_NOHASHDIR=true

# scaledesk_configure BUILD_DIR [cmake options...]
scaledesk_configure() {
    local dir="$1"
    shift
    cmake -S "$SCALEDESK_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# scaledesk_build BUILD_DIR [cmake options...]: configures and builds every target.
scaledesk_build() {
    scaledesk_configure "$@"
    cmake --build "$1" --parallel "$(nproc)"
}
