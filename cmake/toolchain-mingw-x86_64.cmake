# Cross-compiling for Windows with Debian's mingw-w64 (x86_64), statically linked:
# the program needs no DLL beyond Windows' own. Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ombrel_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
