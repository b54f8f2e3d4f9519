# Linux on aarch64 (64-bit ARM), little-endian.
set(PLOTMERGE_CROSS_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
