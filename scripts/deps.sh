# Installs what ScaleDesk needs to build and test, from Debian's packages; sourced by the
# other scripts. Packages already there are left alone, so a second run costs nothing.

SCALEDESK_PACKAGES=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-serialport-dev libgl-dev
    googletest libgtest-dev libgmock-dev
    libfreexl-dev
)

scaledesk_install_deps() {
    local missing=()
    local pkg
    for pkg in "${SCALEDESK_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# The compiler cache keys files by their paths inside the tree, so another clone of it (CI's
# fresh one) reuses what an earlier build compiled.
export CCACHE_BASEDIR="$SCALEDESK_ROOT"
export CCACHE_NOHASHDIR=true

# scaledesk_build BUILD_DIR [cmake options...]
scaledesk_build() {
    local dir="$1"
    shift
    cmake -S "$SCALEDESK_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}
