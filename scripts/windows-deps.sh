# The libraries the Windows build links besides Qt, cross-built with MinGW from Debian's source
# packages into one prefix of headers and static libraries; sourced by build-windows. Each is
# built once and kept until its source version changes.
# One more library is one more entry in SCALEDESK_WINDOWS_LIBRARIES (NAME=DEBIAN_SOURCE=VERSION)
# and a function scaledesk_windows_build_NAME SOURCE_TREE PREFIX WORK_DIR.
# Expects SCALEDESK_ROOT.
source "$SCALEDESK_ROOT/scripts/debian-source.sh"

SCALEDESK_WINDOWS_LIBRARIES=(
    minizip=zlib=1:1.2.13.dfsg-1
    xlsxwriter=libxlsxwriter=1.1.4-2
    sqlite=sqlite3=3.40.1-2+deb12u2
    httplib=cpp-httplib=0.11.4+ds-1+deb12u1
)
SCALEDESK_MINGW_CC=x86_64-w64-mingw32-gcc-posix
SCALEDESK_MINGW_ROOT=/usr/x86_64-w64-mingw32 # zlib from libz-mingw-w64-dev

# minizip: zlib's contrib/minizip (zip to write, unzip to read) against MinGW's zlib. zlib.h
# goes beside minizip/, where libxlsxwriter's CMake finder reads minizip's version from it.
scaledesk_windows_build_minizip() {
    local tree=$1 prefix=$2 work=$3 file
    mkdir -p "$prefix/include/minizip" "$prefix/lib"
    for file in ioapi zip unzip; do
        "$SCALEDESK_MINGW_CC" -O2 -c "$tree/contrib/minizip/$file.c" -o "$work/$file.o"
        cp "$tree/contrib/minizip/$file.h" "$prefix/include/minizip/"
    done
    cp "$tree/contrib/minizip/crypt.h" "$prefix/include/minizip/"
    cp "$SCALEDESK_MINGW_ROOT/include/zlib.h" "$SCALEDESK_MINGW_ROOT/include/zconf.h" \
        "$prefix/include/"
    x86_64-w64-mingw32-ar rcs "$prefix/lib/libminizip.a" "$work"/{ioapi,zip,unzip}.o
}

# libxlsxwriter, static, on the minizip above and MinGW's static zlib; its own temporary
# files (tmpfileplus) and MD5 come with its source.
scaledesk_windows_build_xlsxwriter() {
    local tree=$1 prefix=$2 work=$3
    cmake -S "$tree" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$SCALEDESK_ROOT/packaging/windows/mingw-toolchain.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DUSE_SYSTEM_MINIZIP=ON \
        -DMINIZIP_INCLUDE_DIR="$prefix/include" -DMINIZIP_LIBRARY="$prefix/lib/libminizip.a" \
        -DZLIB_INCLUDE_DIR="$SCALEDESK_MINGW_ROOT/include" \
        -DZLIB_LIBRARY="$SCALEDESK_MINGW_ROOT/lib/libz.a" >/dev/null
    cmake --build "$work" >/dev/null
    cmake --install "$work" >/dev/null
}

# SQLite: Debian's source has no amalgamation; its own configure and make write sqlite3.c
# (with Debian's patches; needs tclsh), which MinGW then compiles. The options are those of
# Debian's libsqlite3 that change what a program sees, so the send journal behaves alike on
# both systems.
scaledesk_windows_build_sqlite() {
    local tree=$1 prefix=$2 work=$3
    (cd "$work" && "$tree/configure" --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
    mkdir -p "$prefix/include" "$prefix/lib"
    "$SCALEDESK_MINGW_CC" -O2 -c "$work/sqlite3.c" -o "$work/sqlite3.o" \
        -DSQLITE_THREADSAFE=1 -DSQLITE_SECURE_DELETE -DSQLITE_USE_URI=1 \
        -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_DBSTAT_VTAB \
        -DSQLITE_LIKE_DOESNT_MATCH_BLOBS -DSQLITE_MAX_SCHEMA_RETRY=25 \
        -DSQLITE_MAX_VARIABLE_NUMBER=250000
    x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$work/sqlite3.o"
    cp "$work/sqlite3.h" "$work/sqlite3ext.h" "$prefix/include/"
}

# cpp-httplib: a single header, compiled into the HTTP interface (Linux links Debian's
# compiled library instead).
scaledesk_windows_build_httplib() {
    local tree=$1 prefix=$2
    mkdir -p "$prefix/include"
    cp "$tree/httplib.h" "$prefix/include/"
}

# scaledesk_windows_libraries PREFIX CACHE_DIR: builds what is missing or out of date into
# PREFIX; CACHE_DIR keeps the sources and build trees.
scaledesk_windows_libraries() {
    local prefix cache entry name source stamp tree
    mkdir -p "$1" "$2"
    prefix=$(realpath "$1")
    cache=$(realpath "$2")
    for entry in "${SCALEDESK_WINDOWS_LIBRARIES[@]}"; do
        name=${entry%%=*}
        source=${entry#*=}
        stamp="$prefix/.built-$name"
        [ "$(cat "$stamp" 2>/dev/null)" = "$source" ] && continue
        echo "Building $name for Windows from Debian's source package ${source%%=*}"
        tree=$(scaledesk_debian_source "$source" "$cache/src")
        rm -rf "$cache/build/$name"
        mkdir -p "$cache/build/$name"
        "scaledesk_windows_build_$name" "$tree" "$prefix" "$cache/build/$name"
        echo "$source" >"$stamp"
    done
}
