# Linux on s390x (IBM Z), big-endian.
set(PLOTMERGE_CROSS_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
