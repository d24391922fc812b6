# What an installed Korvane needs beside the program, and the Debian package that holds it all:
# `cpack -G DEB` in the build folder writes korvane_<version>_<arch>.deb.
set(KORVANE_APP_ID org.korvane.Korvane)

# Debian keeps manual pages and changelogs compressed, without a time stamp.
set(package_build_dir ${CMAKE_BINARY_DIR}/package)
set(compressed_files)
foreach(pair "res/korvane.1:korvane.1.gz" "res/debian/changelog:changelog.gz")
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${package_build_dir}/${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${package_build_dir}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/${source}
            ${package_build_dir}/${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND compressed_files ${package_build_dir}/${target})
endforeach()
add_custom_target(korvane_compressed_docs ALL DEPENDS ${compressed_files})

install(FILES ${package_build_dir}/korvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES res/korvane.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME korvane)
install(FILES res/${KORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The RIFF-wrapped MIDI type, so that file managers offer Korvane for .rmi files.
install(FILES res/${KORVANE_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES res/screenshots/window.png DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane/screenshots)
install(FILES res/debian/copyright ${package_build_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/korvane)

# The program and its module, as installed and as built; the compilers' notes in .comment are
# of no use once installed.
set(installed_binaries ${CMAKE_INSTALL_BINDIR}/korvane)
set(built_binaries ${CMAKE_BINARY_DIR}/korvane)
if(KORVANE_GUI)
  list(APPEND installed_binaries ${CMAKE_INSTALL_LIBDIR}/korvane/korvane-window.so)
  list(APPEND built_binaries ${CMAKE_BINARY_DIR}/korvane-window.so)
endif()
if(KORVANE_PYTHON_MODULE)
  list(APPEND installed_binaries ${KORVANE_PYTHON_EXTENSION_INSTALLED})
  list(APPEND built_binaries ${KORVANE_PYTHON_EXTENSION_BUILT})
endif()
foreach(binary ${installed_binaries})
  install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${binary}\" COMMAND_ERROR_IS_FATAL ANY)")
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "The Korvane developers")
set(CPACK_PACKAGE_CONTACT "Korvane developers <developers@korvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "repair and adjust Standard MIDI Files")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane repairs stuck notes, missing End of Track events, events and tracks\n\
cut short and wrong chunk lengths in Standard MIDI Files, unwraps RIFF MIDI\n\
files, rescales velocities, key pressure and channel volume, and changes the\n\
speed. It has a window with a level plot and a preview player, and a command\n\
line that converts without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The preview player needs a General MIDI SoundFont; cmake/PackageDepends.cmake adds the
# libraries. CPack's own library search stays off: it would also add ldconfig calls for the
# window module, which is no shared library in a system folder.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont | sf2-soundfont-gm")
# The Python module is built for one Python version; korvane.dask needs Dask only when it is used.
if(KORVANE_PYTHON_MODULE)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${KORVANE_PYTHON_DEPENDS}")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-dask, python3-distributed")
endif()
set(CPACK_KORVANE_BINARIES ${built_binaries})
set(CPACK_KORVANE_SHLIBDEPS_DIR ${package_build_dir}/shlibdeps)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/PackageDepends.cmake)
include(CPack)
