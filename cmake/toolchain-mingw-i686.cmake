# Cross-compiling for Windows with Debian's mingw-w64 (i686), statically linked:
# the program needs no DLL beyond Windows' own. Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ombrel_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
