# 64-bit Windows, cross-compiled with Debian's mingw-w64 (posix threads model,
# package g++-mingw-w64-x86-64-posix). Everything is linked statically, so
# plotmerge.exe needs only the system's own DLLs. Programs built here (the
# tests) run under Wine through scripts/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PLOTMERGE_CROSS_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PLOTMERGE_CROSS_TRIPLE}-gcc-posix)  # GoogleTest built from source wants C too
set(CMAKE_CXX_COMPILER ${PLOTMERGE_CROSS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PLOTMERGE_CROSS_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PLOTMERGE_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run)
