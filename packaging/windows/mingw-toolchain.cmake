# Debian's MinGW-w64 cross compiler (posix threads, GCC 12) for Windows x86-64: the toolchain
# of the cross-built Qt and of ScaleDesk's Windows build, which reaches it through Qt's
# qt-cmake (QT_CHAINLOAD_TOOLCHAIN_FILE).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries and headers come from the MinGW tree and from the cross-built dependencies
# (SCALEDESK_WINDOWS_DEPS, set by scripts/build-windows), never from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
if(SCALEDESK_WINDOWS_DEPS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${SCALEDESK_WINDOWS_DEPS})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SCALEDESK_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
