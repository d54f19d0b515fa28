# Cross-building for 64-bit Windows with Debian's mingw-w64 compilers (package
# g++-mingw-w64-x86-64-posix: the POSIX thread model, which std::thread and std::mutex need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARDIMO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VARDIMO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARDIMO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VARDIMO_MINGW_PREFIX}-windres)
set(CMAKE_STRIP /usr/bin/${VARDIMO_MINGW_PREFIX}-strip)

set(CMAKE_FIND_ROOT_PATH /usr/${VARDIMO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Executables that need no DLL beyond Windows' own: the C++ runtime, libgcc and winpthread are
# linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The programs and tests run under Wine here.
find_program(VARDIMO_WINE NAMES wine wine64)
if(VARDIMO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VARDIMO_WINE})
endif()
