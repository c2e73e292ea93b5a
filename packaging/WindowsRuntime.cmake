# Windows builds: the DLLs that MinGW's Qt DLLs need beside them (the GCC
# runtime and winpthreads, which the programs themselves have linked in),
# from the compiler, for the package; and, cross-built, the emulator ctest
# runs the test programs with: wine, through tests/windows/wine-run.sh, with
# Qt's DLLs, the runtime's and Qt's plugins where they are.
set(QUINTORA_RUNTIME_DLLS)
if(MINGW)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
      message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
    endif()
    list(APPEND QUINTORA_RUNTIME_DLLS ${path})
  endforeach()
endif()

if(CMAKE_CROSSCOMPILING)
  set(dll_dirs ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
  foreach(dll IN LISTS QUINTORA_RUNTIME_DLLS)
    get_filename_component(dir ${dll} DIRECTORY)
    list(APPEND dll_dirs ${dir})
  endforeach()
  list(REMOVE_DUPLICATES dll_dirs)
  list(JOIN dll_dirs ":" dll_dirs)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/windows/wine-run.sh
      ${PROJECT_BINARY_DIR}/wine ${dll_dirs} ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS})
endif()
