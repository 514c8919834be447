# What the two mingw-w64 toolchain files share; ombrel_triple names the target.

# The POSIX thread model: std::thread and std::mutex exist (winpthreads, linked in).
set(CMAKE_C_COMPILER ${ombrel_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ombrel_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${ombrel_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ombrel_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The mills run Windows XP SP3: the SDK headers declare nothing newer, for C,
# C++ and the resource scripts alike.
set(ombrel_windows_xp "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501")
set(CMAKE_C_FLAGS_INIT "${ombrel_windows_xp}")
set(CMAKE_CXX_FLAGS_INIT "${ombrel_windows_xp}")
set(CMAKE_RC_FLAGS_INIT "${ombrel_windows_xp}")

# No runtime DLLs beside the exe: libgcc, libstdc++ and winpthread linked in.
# The PE header asks for Windows 5.1 (XP) as the least operating system and
# subsystem version, also in the 64-bit exe (binutils would write 6.0 or 5.2).
set(ombrel_link_xp
  "-static -static-libgcc -static-libstdc++"
  "-Wl,--major-os-version,5,--minor-os-version,1"
  "-Wl,--major-subsystem-version,5,--minor-subsystem-version,1")
string(JOIN " " ombrel_link_xp ${ombrel_link_xp})
set(CMAKE_EXE_LINKER_FLAGS_INIT "${ombrel_link_xp}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${ombrel_link_xp}")

# The exe users download stays small (MinSizeRel): every function and datum in
# a section of its own, those no one uses dropped, the symbols stripped.
set(CMAKE_C_FLAGS_MINSIZEREL_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_MINSIZEREL_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s -Wl,--gc-sections")

# Windows programs built here (the tests) run under Wine, through a wrapper
# that gives them a prefix of their own in the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
