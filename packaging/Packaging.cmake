# How the program is installed and packaged: the program file, the desktop
# entry, the icons in the hicolor theme, the AppStream metainfo, the manual
# page, the copyright and changelog, a .deb built by CPack, and on Windows
# the icon and version information of the program file.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/Windows.cmake)

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

  # The desktop entry, the metainfo and the manual page carry the project's
  # version and the application id.
  set(quintora_pkg_dir ${PROJECT_BINARY_DIR}/packaging)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/quintora.desktop.in ${quintora_pkg_dir}/${QUINTORA_APP_ID}.desktop @ONLY)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/metainfo.xml.in ${quintora_pkg_dir}/${QUINTORA_APP_ID}.metainfo.xml @ONLY)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/quintora.1.in ${quintora_pkg_dir}/quintora.1 @ONLY)
  install(FILES ${quintora_pkg_dir}/${QUINTORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${quintora_pkg_dir}/${QUINTORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size IN ITEMS 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/quintora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${QUINTORA_APP_ID}.png)
  endforeach()

  # The manual page and the changelog go in gzipped, without name or time
  # stamp (-n) so the package is reproducible. The program depends on them so
  # that building it alone, as before cpack, is enough to install.
  set(quintora_gz_files)
  foreach(doc IN ITEMS ${quintora_pkg_dir}/quintora.1 ${CMAKE_CURRENT_LIST_DIR}/changelog)
    get_filename_component(name ${doc} NAME)
    add_custom_command(OUTPUT ${quintora_pkg_dir}/${name}.gz
      COMMAND gzip -9nc ${doc} > ${quintora_pkg_dir}/${name}.gz
      DEPENDS ${doc}
      COMMENT "Compressing ${name}")
    list(APPEND quintora_gz_files ${quintora_pkg_dir}/${name}.gz)
  endforeach()
  add_custom_target(quintora_docs DEPENDS ${quintora_gz_files})
  add_dependencies(quintora quintora_docs)

  install(FILES ${quintora_pkg_dir}/quintora.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # Debian's names: changelog.gz for a package without a Debian revision.
  set(quintora_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quintora)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${quintora_pkg_dir}/changelog.gz
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
  # Qt's Wayland plugin, for the window where there is no X server.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
  include(CPack)
endif()
