# The Qt for Windows that scripts/windows-build.sh builds from Debian's
# source with MinGW-w64, as a CMake initial cache (cmake -C): Core, Gui,
# Widgets and Test as DLLs, the windows and offscreen platform plugins.
# Debian's source lacks wintab.h, so tablet support is off; the windows
# plugin does not build otherwise. With OpenGL off, dynamic OpenGL must be
# off too, or the windows plugin does not compile; Direct2D stays on, since
# Gui builds the DirectWrite font database the plugin links only with it.
# The toolchain's -static (set for the calculator) reaches only executables,
# and Qt builds none here; its DLLs use the shared GCC runtime. The moc, rcc
# and uic are the host's (QT_HOST_PATH), which is why the version must match.
set(CMAKE_TOOLCHAIN_FILE ${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake CACHE FILEPATH "")
set(CMAKE_BUILD_TYPE Release CACHE STRING "")
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
set(BUILD_SHARED_LIBS ON CACHE BOOL "")
set(QT_BUILD_EXAMPLES OFF CACHE BOOL "")
set(QT_BUILD_TESTS OFF CACHE BOOL "")
foreach(feature sql network dbus opengl printsupport concurrent xml icu tabletevent dynamicgl)
  set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()
