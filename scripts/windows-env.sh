# What the Windows build and its runs under Wine share; sourced by build-windows, test and
# wine-run. Expects SCALEDESK_ROOT.

SCALEDESK_WINDOWS_BUILD="$SCALEDESK_ROOT/build-windows"
# What the build needs and makes once, kept between builds: the Debian sources, the Qt for
# Windows and the other libraries.
SCALEDESK_WINDOWS_CACHE="$SCALEDESK_WINDOWS_BUILD/deps"
SCALEDESK_QT_WINDOWS="$SCALEDESK_WINDOWS_CACHE/qt-mingw"
SCALEDESK_WINDOWS_DEPS="$SCALEDESK_WINDOWS_CACHE/windows"
SCALEDESK_WINDOWS_TOOLCHAIN="$SCALEDESK_ROOT/packaging/windows/mingw-toolchain.cmake"
# A Qt built before (packaging/windows/qt/build-qt, then tar of its prefix) lying beside the
# checkout spares the 45 minutes of building it.
SCALEDESK_QT_WINDOWS_ARCHIVE="$SCALEDESK_ROOT/../shared/windows/qt-mingw-6.4.2.tar.gz"
SCALEDESK_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    qt6-base-dev-tools googletest
    wine wine64 nsis zip
    # the libraries from Debian's sources: MinGW's zlib, apt-get source and dpkg-source,
    # Qt's patch, SQLite's own make with tclsh
    libz-mingw-w64-dev dpkg-dev patch make tcl8.6
    # the icon (rsvg-convert, icotool; wrestool in the tests) and scalectl's manual as text
    librsvg2-bin icoutils groff-base
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

# scaledesk_provide_qt_windows [ARCHIVE]: the Qt for Windows in SCALEDESK_QT_WINDOWS, once:
# unpacked from ARCHIVE, or else from the archive beside the checkout, or else built from
# Debian's sources. Another ARCHIVE than the one unpacked before replaces it.
scaledesk_provide_qt_windows() {
    local archive=${1:-} origin="$SCALEDESK_QT_WINDOWS/.origin"
    [ -z "$archive" ] && [ -f "$SCALEDESK_QT_WINDOWS_ARCHIVE" ] &&
        archive=$SCALEDESK_QT_WINDOWS_ARCHIVE
    if [ -n "$archive" ]; then
        [ -f "$archive" ] || {
            echo "No Qt archive at $archive" >&2
            return 1
        }
        archive=$(realpath "$archive")
        [ "$(cat "$origin" 2>/dev/null)" = "$archive" ] && return 0
        echo "Unpacking Qt for Windows from $archive"
        rm -rf "$SCALEDESK_QT_WINDOWS"
        mkdir -p "$SCALEDESK_QT_WINDOWS"
        tar xzf "$archive" -C "$SCALEDESK_QT_WINDOWS" --strip-components=1
        echo "$archive" >"$origin"
        return 0
    fi
    [ "$(cat "$origin" 2>/dev/null)" = built ] && return 0
    [ -f "$origin" ] && rm -rf "$SCALEDESK_QT_WINDOWS" # an archive's; a stopped build goes on
    echo "Building Qt for Windows from Debian's sources (about 45 minutes on two cores)"
    nice -n 19 "$SCALEDESK_ROOT/packaging/windows/qt/build-qt" "$SCALEDESK_QT_WINDOWS" \
        "$SCALEDESK_WINDOWS_CACHE"
    echo built >"$origin"
}
