# What the Windows build and its runs under Wine share; sourced by build-windows, test and
# wine-run. Expects SCALEDESK_ROOT.

# The prefix is fixed by the CMake files inside the Qt tarball.
SCALEDESK_QT_WINDOWS=/opt/qtw/qt-mingw
SCALEDESK_QT_WINDOWS_TARBALL="$SCALEDESK_ROOT/../shared/windows/qt-mingw-6.4.2.tar.gz"
SCALEDESK_WINDOWS_BUILD="$SCALEDESK_ROOT/build-windows"
SCALEDESK_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    qt6-base-dev-tools googletest
    wine wine64 nsis zip
)
SCALEDESK_MINGW_CXX=x86_64-w64-mingw32-g++-posix

# The folders of the MinGW run-time DLLs (libstdc++, libgcc_s, libwinpthread), one a line.
scaledesk_mingw_dll_dirs() {
    local dll
    for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
        realpath "$(dirname "$("$SCALEDESK_MINGW_CXX" -print-file-name="$dll")")"
    done | sort -u
}

# Debian's wine64 package keeps its programs out of PATH.
scaledesk_wine() {
    command -v wine64 || echo /usr/lib/wine/wine64
}
scaledesk_wineserver() {
    command -v wineserver || echo /usr/lib/wine/wineserver64
}

# The environment of a program of the Windows build under Wine: the Qt and MinGW DLLs taken
# from where the build found them (unless WINEPATH is set, even empty), a Wine prefix inside
# build-windows/, no Wine debug chatter and no offer to install Mono or Gecko.
scaledesk_wine_env() {
    export WINEPREFIX="${WINEPREFIX:-$SCALEDESK_WINDOWS_BUILD/wine}"
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree,mshtml="
    local path dir
    path="Z:${SCALEDESK_QT_WINDOWS//\//\\}\\bin"
    while read -r dir; do
        path+=";Z:${dir//\//\\}"
    done < <(scaledesk_mingw_dll_dirs)
    export WINEPATH="${WINEPATH-$path}"
}

# Unpacks the cross-built Qt once, where its CMake files expect it. It is never rebuilt here.
scaledesk_unpack_qt_windows() {
    [ -f "$SCALEDESK_QT_WINDOWS/lib/cmake/Qt6/Qt6Config.cmake" ] &&
        [ -f /opt/qtw/mingw-toolchain.cmake ] && return 0
    local shared
    shared="$(dirname "$SCALEDESK_QT_WINDOWS_TARBALL")"
    if [ ! -f "$SCALEDESK_QT_WINDOWS_TARBALL" ]; then
        echo "Qt for Windows is missing: $SCALEDESK_QT_WINDOWS_TARBALL" >&2
        echo "Make it once (about 45 minutes on two cores, as root) with" >&2
        echo "  $shared/build-qt-mingw.sh" >&2
        echo "which writes the tarball beside itself; then run this again." >&2
        return 1
    fi
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Unpacking Qt for Windows into /opt/qtw"
    $sudo mkdir -p /opt/qtw
    $sudo tar xzf "$SCALEDESK_QT_WINDOWS_TARBALL" -C /opt/qtw
    $sudo cp "$shared/mingw-toolchain.cmake" /opt/qtw/mingw-toolchain.cmake
}
