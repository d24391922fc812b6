# Read by cpack before it builds the package: the libraries the program and its window module
# need, as dpkg-shlibdeps finds them, go in front of the package's other dependencies.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
# dpkg-shlibdeps runs where a debian/control exists; an empty one will do.
file(MAKE_DIRECTORY ${CPACK_KORVANE_SHLIBDEPS_DIR}/debian)
file(TOUCH ${CPACK_KORVANE_SHLIBDEPS_DIR}/debian/control)
execute_process(COMMAND dpkg-shlibdeps -O ${CPACK_KORVANE_BINARIES}
                WORKING_DIRECTORY ${CPACK_KORVANE_SHLIBDEPS_DIR}
                OUTPUT_VARIABLE shlibdeps_output
                ERROR_VARIABLE shlibdeps_errors
                RESULT_VARIABLE shlibdeps_result)
# Its warnings are about running outside a package build; they are shown only with a failure.
if(NOT shlibdeps_result EQUAL 0 OR NOT shlibdeps_output MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps found no libraries in ${CPACK_KORVANE_BINARIES}:\n"
                      "${shlibdeps_errors}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
