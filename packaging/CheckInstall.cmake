# Installs the build into a scratch folder and checks that the program, its
# desktop entry and its icons land where a Linux desktop finds them.
#   cmake -DBUILD_DIR=<build> -DSTAGE=<scratch> -P CheckInstall.cmake
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
                RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()

set(expected
  bin/ombrel-config
  share/applications/ombrel-config.desktop
  share/icons/hicolor/scalable/apps/ombrel-config.svg)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/ombrel-config.png)
endforeach()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${STAGE}/${path})
    message(FATAL_ERROR "missing after install: ${path}")
  endif()
endforeach()

# The entry starts the installed program by name and names the installed icon.
file(READ ${STAGE}/share/applications/ombrel-config.desktop entry)
foreach(line "Exec=ombrel-config" "Icon=ombrel-config" "Type=Application")
  string(FIND "${entry}" "${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "desktop entry lacks '${line}'")
  endif()
endforeach()
file(REMOVE_RECURSE ${STAGE})
list(LENGTH expected count)
message(STATUS "install layout: all ${count} files in place")
