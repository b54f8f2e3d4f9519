# Install layout and the Debian package.
#
#   cmake --install <build> --prefix <dir>   bin/ (plotmerge, plotmap), share/man/man1/, share/doc/plotmerge/
#   cpack -G DEB   (in <build>)              plotmerge_<version>_<arch>.deb

include(GNUInstallDirs)

install(TARGETS plotmerge plotmap RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Writes output from source with the project version and the package
# maintainer put in, and nothing else: tbl tables in the manual page separate
# their cells with "@", which configure_file would take for variables
# ("2-14@13@x" would lose its "13").
function(plotmerge_fill_in source output)
  file(READ ${source} text)
  string(REPLACE "@PROJECT_VERSION@" "${PROJECT_VERSION}" text "${text}")
  string(REPLACE "@PLOTMERGE_MAINTAINER@" "${PLOTMERGE_MAINTAINER}" text "${text}")
  plotmerge_write_if_changed(${output} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

function(plotmerge_write_if_changed output text)
  if(EXISTS ${output})
    file(READ ${output} previous)
  endif()
  if(NOT text STREQUAL "${previous}")
    file(WRITE ${output} "${text}")
  endif()
endfunction()

# Debian's machine-readable copyright file, holder and licence text taken
# from LICENSE (the MIT licence, which Debian names Expat).
function(plotmerge_debian_copyright license output)
  file(READ ${license} text)
  if(NOT text MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(Permission is hereby granted.*)$")
    message(FATAL_ERROR "${license} does not hold the MIT licence in its usual form")
  endif()
  set(holder "${CMAKE_MATCH_1}")
  string(STRIP "${CMAKE_MATCH_2}" terms)
  string(REPLACE "\n" "\n " terms "${terms}")
  string(REPLACE "\n \n" "\n .\n" terms "${terms}")
  string(CONCAT copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: plotmerge\n"
    "\n"
    "Files: *\n"
    "Copyright: ${holder}\n"
    "License: Expat\n"
    " ${terms}\n")
  plotmerge_write_if_changed(${output} "${copyright}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${license})
endfunction()

# The one place that names who answers for the package (Debian's Maintainer
# field and the changelog's signature).
set(PLOTMERGE_MAINTAINER "The plotmerge authors <maintainers@users.noreply.c-seed-3982215b.example>"
  CACHE STRING "Name and mail address of the package maintainer")

set(PLOTMERGE_MAN_PAGE ${PROJECT_BINARY_DIR}/man/plotmerge.1)
plotmerge_fill_in(${PROJECT_SOURCE_DIR}/man/plotmerge.1.in ${PLOTMERGE_MAN_PAGE})
set(PLOTMAP_MAN_PAGE ${PROJECT_BINARY_DIR}/man/plotmap.1)
plotmerge_fill_in(${PROJECT_SOURCE_DIR}/man/plotmap.1.in ${PLOTMAP_MAN_PAGE})
install(FILES ${PLOTMERGE_MAN_PAGE} ${PLOTMAP_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The examples folder is taken whole at install time, whatever it holds then;
# scripts in it keep their execute bits.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
  USE_SOURCE_PERMISSIONS
  PATTERN CMakeLists.txt EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)

# The licence as Debian's copyright file, and the changelog, where Debian
# keeps them; the package build compresses the changelog (below).
plotmerge_debian_copyright(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/packaging/copyright)
plotmerge_fill_in(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog)
install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- Debian package --------------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plotmerge)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${PLOTMERGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "average or sum up to four concentration plot files")
set(CPACK_PACKAGE_DESCRIPTION
  "plotmerge merges one to four fixed-column concentration plot files line\n"
  "by line into AVG_CONC.PLT or SUM_CONC.PLT, scaling the value field of\n"
  "each input by a factor, and optionally writes RISK.PLT with the combined\n"
  "values times 744. It is driven by a question-and-answer dialogue on\n"
  "standard input, so it can run from a prepared answer file. All arithmetic\n"
  "is single precision with exact rounding of the fixed-width fields.\n"
  "The package also holds plotmap, which draws a plot file as a\n"
  "self-contained SVG map and lists its highest receptors.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build/")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# Debian keeps manual pages and changelogs compressed with gzip -9n (no name
# or time stamp, so the package is reproducible). This runs on the staged tree
# only, so `cmake --install` still installs them plain; without gzip they are
# packaged plain.
set(PLOTMERGE_COMPRESS_MAN_SCRIPT ${PROJECT_BINARY_DIR}/cpack_compress_man_pages.cmake)
file(CONFIGURE OUTPUT ${PLOTMERGE_COMPRESS_MAN_SCRIPT} @ONLY CONTENT [[
find_program(GZIP_PROGRAM gzip)
if(NOT GZIP_PROGRAM)
  message(WARNING "gzip not found: manual pages and changelogs are packaged uncompressed")
  return()
endif()
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man[1-9]/*.[1-9]")
file(GLOB_RECURSE changelogs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/*/changelog")
foreach(file IN LISTS pages changelogs)
  execute_process(COMMAND ${GZIP_PROGRAM} -9nf ${file} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not compress ${file}")
  endif()
endforeach()
]])

# cpack installs into its staging folder through the build folder's install
# script, which rewrites the build folder's install_manifest.txt with the
# package's paths (/usr/bin/plotmerge ...). That file is how a source install
# is removed again (README), so cpack keeps it as `cmake --install` left it:
# the first script runs before cpack's install, the second after it.
set(PLOTMERGE_MANIFEST ${PROJECT_BINARY_DIR}/install_manifest.txt)
set(PLOTMERGE_SAVED_MANIFEST ${PROJECT_BINARY_DIR}/install_manifest.txt.kept-by-cpack)
set(PLOTMERGE_SAVE_MANIFEST_SCRIPT ${PROJECT_BINARY_DIR}/cpack_save_install_manifest.cmake)
# A manifest saved by a cpack run whose install failed (so it wrote none) is
# kept, unless a later `cmake --install` wrote a newer one.
file(CONFIGURE OUTPUT ${PLOTMERGE_SAVE_MANIFEST_SCRIPT} @ONLY CONTENT [[
if(EXISTS "@PLOTMERGE_MANIFEST@")
  file(RENAME "@PLOTMERGE_MANIFEST@" "@PLOTMERGE_SAVED_MANIFEST@")
endif()
]])
set(PLOTMERGE_RESTORE_MANIFEST_SCRIPT ${PROJECT_BINARY_DIR}/cpack_restore_install_manifest.cmake)
file(CONFIGURE OUTPUT ${PLOTMERGE_RESTORE_MANIFEST_SCRIPT} @ONLY CONTENT [[
file(REMOVE "@PLOTMERGE_MANIFEST@")
if(EXISTS "@PLOTMERGE_SAVED_MANIFEST@")
  file(RENAME "@PLOTMERGE_SAVED_MANIFEST@" "@PLOTMERGE_MANIFEST@")
endif()
]])
set(CPACK_INSTALL_SCRIPTS ${PLOTMERGE_SAVE_MANIFEST_SCRIPT})
set(CPACK_PRE_BUILD_SCRIPTS ${PLOTMERGE_RESTORE_MANIFEST_SCRIPT} ${PLOTMERGE_COMPRESS_MAN_SCRIPT})

include(CPack)
