# How the program is installed and packaged: the program file, the desktop
# entry, the icons in the hicolor theme, the AppStream metainfo, the manual
# page, the copyright and changelog, a .deb built by CPack, and on Windows
# the icon and version information of the program file.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/Windows.cmake)

# The application id: the desktop entry, metainfo and icon file names, and
# the desktop file name the window sets in ui/main.cpp.
set(QUINTORA_APP_ID org.example.quintora)

if(WIN32)
  enable_language(RC)
  set(quintora_rc ${CMAKE_CURRENT_LIST_DIR}/quintora.rc)
  target_sources(quintora PRIVATE ${quintora_rc})
  # The script names the icon without a folder: it lives in resources/.
  set_source_files_properties(${quintora_rc} TARGET_DIRECTORY quintora
    PROPERTIES INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR}/resources)
  # The file name the version information gives as the original one.
  set_target_properties(quintora PROPERTIES OUTPUT_NAME Quintora)
endif()

install(TARGETS quintora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
  # Debian's hardening: every symbol bound at start-up, so relocations can
  # all be read-only. Release (the .deb) only, as the benchmarks measure the
  # start-up of the other builds against a plain Qt window.
  target_link_options(quintora PRIVATE "$<$<CONFIG:Release>:LINKER:-z,relro,-z,now>")

  install(FILES ${CMAKE_CURRENT_LIST_DIR}/${QUINTORA_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/${QUINTORA_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size IN ITEMS 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/quintora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${QUINTORA_APP_ID}.png)
  endforeach()

  # The manual page and the changelog go in gzipped, without name or time
  # stamp (-n) so the package is reproducible. The program depends on them so
  # that building it alone, as before cpack, is enough to install.
  set(quintora_gz_dir ${PROJECT_BINARY_DIR}/packaging)
  set(quintora_gz_files)
  foreach(doc IN ITEMS quintora.1 changelog)
    add_custom_command(OUTPUT ${quintora_gz_dir}/${doc}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/${doc} ${quintora_gz_dir}/${doc}
      COMMAND gzip -9nf ${quintora_gz_dir}/${doc}
      DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${doc}
      COMMENT "Compressing ${doc}"
      VERBATIM)
    list(APPEND quintora_gz_files ${quintora_gz_dir}/${doc}.gz)
  endforeach()
  add_custom_target(quintora_docs DEPENDS ${quintora_gz_files})
  add_dependencies(quintora quintora_docs)

  install(FILES ${quintora_gz_dir}/quintora.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # Debian's names: changelog.gz for a package without a Debian revision.
  set(quintora_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quintora)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${quintora_gz_dir}/changelog.gz
          DESTINATION ${quintora_doc_dir})

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME quintora)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_VENDOR "Quintora developers")
  set(CPACK_PACKAGE_CONTACT "Quintora developers <quintora@example.org>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small desktop calculator with a painted skin")
  set(CPACK_PACKAGE_DESCRIPTION [=[
Quintora is a small desktop calculator: one borderless window painted as
a calculator, which stays on top of other windows and turns translucent
while another program is active.]=])
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quintora developers <quintora@example.org>")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/quintora/")
  # The libraries come from dpkg-shlibdeps; the fonts the window's texts are
  # drawn with are not linked, so they are named here.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-comic-neue, fonts-liberation, fonts-dejavu-core")
  include(CPack)
endif()
