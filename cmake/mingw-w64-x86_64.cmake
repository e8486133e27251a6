# Cross-builds the Windows programs on Linux with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix,
# the POSIX thread model, which std::thread and std::mutex need).
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRUNE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTRUNE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRUNE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRUNE_MINGW_TRIPLET}-windres)

# Libraries and headers for the target only; programs (the compilers, Wine) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUNE_MINGW_TRIPLET})
# A Qt built for this target (its prefix, e.g. the unpacked qt6-mingw folder) is searched as
# well; its host tools (moc, rcc, uic) come from QT_HOST_PATH.
set(KESTRUNE_QT_PREFIX "" CACHE PATH "Prefix of a Qt 6 built for x86_64-w64-mingw32")
if(KESTRUNE_QT_PREFIX)
    list(APPEND CMAKE_FIND_ROOT_PATH ${KESTRUNE_QT_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthread linked in: the programs run on a bare Windows, or under
# Wine, without any MinGW DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# zlib (Debian: libz-mingw-w64-dev) too, from its static library.
set(ZLIB_USE_STATIC_LIBS ON)

# Tests run under Wine when it is installed (Debian: wine64).
find_program(KESTRUNE_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(KESTRUNE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRUNE_WINE})
endif()
