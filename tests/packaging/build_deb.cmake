# Builds the .deb as it ships: a Release build of its own (hardened,
# stripped), packaged by CPack into BUILD.
# Usage: cmake -DSOURCE=DIR -DBUILD=DIR -P build_deb.cmake
foreach(step
    "${CMAKE_COMMAND};-S;${SOURCE};-B;${BUILD};-DCMAKE_BUILD_TYPE=Release;-DQUINTORA_TESTS=OFF"
    "${CMAKE_COMMAND};--build;${BUILD};--target;quintora"
    "${CMAKE_CPACK_COMMAND};-G;DEB;--config;${BUILD}/CPackConfig.cmake;-B;${BUILD}")
  execute_process(COMMAND ${step} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed: ${step}")
  endif()
endforeach()
