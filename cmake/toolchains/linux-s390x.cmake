# Linux on s390x, cross-compiled with Debian's g++-s390x-linux-gnu. Programs
# built here (the tests) run under qemu-user with the cross compiler's
# libraries as their root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR s390x)

set(PLOTMERGE_CROSS_TRIPLE s390x-linux-gnu)
set(CMAKE_C_COMPILER ${PLOTMERGE_CROSS_TRIPLE}-gcc)  # GoogleTest built from source wants C too
set(CMAKE_CXX_COMPILER ${PLOTMERGE_CROSS_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${PLOTMERGE_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-s390x;-L;/usr/${PLOTMERGE_CROSS_TRIPLE})
