# Linux on another processor, cross-compiled with Debian's
# g++-<processor>-linux-gnu. The including toolchain file sets
# PLOTMERGE_CROSS_PROCESSOR. Programs built here (the tests) run under
# qemu-user with the cross compiler's libraries as their root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${PLOTMERGE_CROSS_PROCESSOR})

set(PLOTMERGE_CROSS_TRIPLE ${PLOTMERGE_CROSS_PROCESSOR}-linux-gnu)
set(CMAKE_C_COMPILER ${PLOTMERGE_CROSS_TRIPLE}-gcc)  # GoogleTest built from source wants C too
set(CMAKE_CXX_COMPILER ${PLOTMERGE_CROSS_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${PLOTMERGE_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${PLOTMERGE_CROSS_PROCESSOR};-L;/usr/${PLOTMERGE_CROSS_TRIPLE})
