# Windows: the program in one folder with the Qt DLLs and plugins it needs,
# the GCC runtime those DLLs need, the program's licence and Qt's; CPack
# makes a zip of that folder and an NSIS installer of it:
#   cpack -G "ZIP;NSIS"  ->  Quintora-<version>-win64.zip, ...-win64-setup.exe
# scripts/windows-build.sh cross-builds both on Debian.
if(NOT WIN32)
  return()
endif()

# Everything in one folder: Windows finds the DLLs beside the program, and
# Qt its plugins there.
set(CMAKE_INSTALL_BINDIR .)

# Qt as DLLs: the modules the program links, the Windows platform plugin
# and the style its tooltips and message boxes are drawn with.
set(quintora_qt_files
  $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>)
install(FILES ${quintora_qt_files} DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
set(quintora_installed_dlls
  $<TARGET_FILE_NAME:Qt6::Core> $<TARGET_FILE_NAME:Qt6::Gui> $<TARGET_FILE_NAME:Qt6::Widgets>
  platforms/$<TARGET_FILE_NAME:Qt6::QWindowsIntegrationPlugin>)
if(TARGET Qt6::QWindowsVistaStylePlugin)
  install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
  list(APPEND quintora_installed_dlls styles/$<TARGET_FILE_NAME:Qt6::QWindowsVistaStylePlugin>)
endif()

# The runtime MinGW's Qt DLLs need (WindowsRuntime.cmake).
foreach(dll IN LISTS QUINTORA_RUNTIME_DLLS)
  install(FILES ${dll} DESTINATION .)
  get_filename_component(name ${dll} NAME)
  list(APPEND quintora_installed_dlls ${name})
endforeach()

# install --strip and CPack strip the program; the DLLs are copies and are
# stripped in place.
install(CODE "set(quintora_strip \"${CMAKE_STRIP}\")
set(quintora_dlls \"${quintora_installed_dlls}\")")
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP AND quintora_strip)
    foreach(dll IN LISTS quintora_dlls)
      execute_process(COMMAND "${quintora_strip}" "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${dll}"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()
]])

# The licences: the program's, and Qt's LGPL 3 with the GPL 3 it builds on,
# with a note on where Qt's source is and how to replace its DLLs. Debian
# has the texts and the copyright notices of Qt (with the code it bundles)
# and of the MinGW-w64 runtime; elsewhere they are left out.
set(QUINTORA_QT_SOURCE "Qt ${Qt6_VERSION}: https://download.qt.io/archive/qt/"
  CACHE STRING "Where the source of the Qt shipped with the program is")
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows-third-party.txt.in
               ${PROJECT_BINARY_DIR}/THIRD-PARTY.txt @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/THIRD-PARTY.txt DESTINATION .)
foreach(entry IN ITEMS
    "LGPL-3.0.txt=/usr/share/common-licenses/LGPL-3"
    "GPL-3.0.txt=/usr/share/common-licenses/GPL-3"
    "Qt-copyright.txt=/usr/share/doc/libqt6core6/copyright"
    "MinGW-w64-copyright.txt=/usr/share/doc/mingw-w64-x86-64-dev/copyright"
    "GCC-runtime-copyright.txt=/usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright")
  string(REGEX MATCH "^([^=]+)=(.*)$" _ "${entry}")
  if(EXISTS "${CMAKE_MATCH_2}")
    install(FILES "${CMAKE_MATCH_2}" DESTINATION licences RENAME "${CMAKE_MATCH_1}")
  else()
    message(STATUS "Windows package: no ${CMAKE_MATCH_2}, so no licences/${CMAKE_MATCH_1}")
  endif()
endforeach()

# The packages.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Quintora)
set(CPACK_PACKAGE_VENDOR "Quintora developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Small desktop calculator with a painted skin")
set(QUINTORA_WINDOWS_PACKAGE Quintora-${PROJECT_VERSION}-win64)  # the zip's name; the installer's ends in -setup
set(CPACK_PACKAGE_FILE_NAME ${QUINTORA_WINDOWS_PACKAGE})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quintora)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quintora)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# The installer's file name says what it is; the zip keeps the plain name.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackWindowsOptions.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT [[
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
]] @ONLY)

# The installer, itself a 64-bit program like the one it installs: under
# Program Files, a Start-menu entry with the program's icon, an uninstaller,
# and an entry in "Programs and Features" with icon, version and publisher.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Quintora)
set(CPACK_NSIS_DISPLAY_NAME Quintora)
set(CPACK_NSIS_CREATE_ICONS_EXTRA
  [[CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Quintora.lnk" "$INSTDIR\Quintora.exe" "" "$INSTDIR\Quintora.exe" 0]])
# The entry in "Programs and Features" as a native installer writes it: the
# size installed, a quiet uninstall, the folder, and the flags as numbers.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [[
  !define QUINTORA_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quintora"
  SectionGetSize 0 $0
  WriteRegDWORD SHCTX "${QUINTORA_UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD SHCTX "${QUINTORA_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${QUINTORA_UNINSTALL_KEY}" "NoRepair" 1
  WriteRegStr SHCTX "${QUINTORA_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${QUINTORA_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
]])
# The installer keeps its folder under the vendor's key, which is left
# empty when it goes; deleting it here runs after the installer's own key
# is gone (the extra uninstall commands run before).
set(CPACK_NSIS_DELETE_ICONS_EXTRA [[Delete "$SMPROGRAMS\$MUI_TEMP\Quintora.lnk"
  DeleteRegKey /ifempty SHCTX "Software\Quintora developers"]])
set(CPACK_NSIS_INSTALLED_ICON_NAME Quintora.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/quintora.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/quintora.ico)
set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
include(CPack)
