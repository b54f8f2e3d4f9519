# The Windows package: plotmerge-<version>-win64.zip from `cpack` in the build
# folder of the windows preset, holding one folder with plotmerge.exe and plotmap.exe
# (linked statically, so they need no installation), README.md, LICENSE, the examples
# with their answer files (and a batch file for cmd), and the manual pages
# as plain text, rendered at build time from the same roff sources as the
# Linux manual pages.

install(TARGETS plotmerge RUNTIME DESTINATION .)
if(TARGET plotmap)
  install(TARGETS plotmap RUNTIME DESTINATION .)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . OPTIONAL)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples PATTERN CMakeLists.txt EXCLUDE)

# The manual pages, plotmerge's and plotmap's: each roff source with the
# version put in, then rendered by groff on the build machine as plain text
# (render-manual-text.cmake), plotmerge.txt and plotmap.txt.
find_program(PLOTMERGE_GROFF groff)
if(NOT PLOTMERGE_GROFF)
  message(WARNING "groff not found (Debian package groff-base): the Windows package has no manuals")
endif()
foreach(page IN ITEMS plotmerge plotmap)
  file(READ ${PROJECT_SOURCE_DIR}/man/${page}.1.in man_source)
  string(REPLACE "@PROJECT_VERSION@" "${PROJECT_VERSION}" man_source "${man_source}")
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/man/${page}.1 CONTENT "${man_source}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/${page}.1.in)
  if(PLOTMERGE_GROFF)
    set(manual_text ${PROJECT_BINARY_DIR}/man/${page}.txt)
    add_custom_command(OUTPUT ${manual_text}
      COMMAND ${CMAKE_COMMAND} -DGROFF=${PLOTMERGE_GROFF} -DPAGE=${PROJECT_BINARY_DIR}/man/${page}.1
        -DTEXT=${manual_text} -P ${PROJECT_SOURCE_DIR}/cmake/render-manual-text.cmake
      DEPENDS ${PROJECT_BINARY_DIR}/man/${page}.1 ${PROJECT_SOURCE_DIR}/cmake/render-manual-text.cmake
      COMMENT "Rendering the manual page ${page}.1 as plain text"
      VERBATIM)
    add_custom_target(${page}_manual_text ALL DEPENDS ${manual_text})
    install(FILES ${manual_text} DESTINATION .)
  endif()
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME plotmerge)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME plotmerge-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
