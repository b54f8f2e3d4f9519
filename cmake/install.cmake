# Install layout and the Debian package.
#
#   cmake --install <build> --prefix <dir>   bin/, share/man/man1/, share/doc/plotmerge/
#   cpack -G DEB   (in <build>)              plotmerge_<version>_<arch>.deb

include(GNUInstallDirs)

install(TARGETS plotmerge RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual page carries the project version.
set(PLOTMERGE_MAN_PAGE ${PROJECT_BINARY_DIR}/man/plotmerge.1)
configure_file(${PROJECT_SOURCE_DIR}/man/plotmerge.1.in ${PLOTMERGE_MAN_PAGE} @ONLY)
install(FILES ${PLOTMERGE_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The examples folder is taken whole at install time, whatever it holds then;
# scripts in it keep their execute bits.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
  USE_SOURCE_PERMISSIONS
  PATTERN CMakeLists.txt EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)

# --- Debian package --------------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plotmerge)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "plotmerge maintainers <maintainers@users.noreply.c-seed-3982215b.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "average or sum up to four concentration plot files")
set(CPACK_PACKAGE_DESCRIPTION
  "plotmerge merges one to four fixed-column concentration plot files line\n"
  "by line into AVG_CONC.PLT or SUM_CONC.PLT, scaling the value field of\n"
  "each input by a factor, and optionally writes RISK.PLT with the combined\n"
  "values times 744. It is driven by a question-and-answer dialogue on\n"
  "standard input, so it can run from a prepared answer file. All arithmetic\n"
  "is single precision with exact rounding of the fixed-width fields.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build/")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# Debian keeps manual pages compressed with gzip -9n (no name or time stamp,
# so the package is reproducible). This runs on the staged tree only, so
# `cmake --install` still installs the plain page; without gzip the page
# is packaged plain.
set(PLOTMERGE_COMPRESS_MAN_SCRIPT ${PROJECT_BINARY_DIR}/cpack_compress_man_pages.cmake)
file(CONFIGURE OUTPUT ${PLOTMERGE_COMPRESS_MAN_SCRIPT} @ONLY CONTENT [[
find_program(GZIP_PROGRAM gzip)
if(NOT GZIP_PROGRAM)
  message(WARNING "gzip not found: manual pages are packaged uncompressed")
  return()
endif()
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man[1-9]/*.[1-9]")
foreach(page IN LISTS pages)
  execute_process(COMMAND ${GZIP_PROGRAM} -9nf ${page} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not compress ${page}")
  endif()
endforeach()
]])
set(CPACK_PRE_BUILD_SCRIPTS ${PLOTMERGE_COMPRESS_MAN_SCRIPT})

include(CPack)
