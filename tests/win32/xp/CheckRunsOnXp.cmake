# Fails unless every program given can be loaded by Windows XP SP3, judged from
# its PE header and its import table (objdump -p):
#
#   cmake -DOBJDUMP=<objdump> -DCXX=<cross g++> -DCRT_LIST=<file> -DWORK=<folder>
#         -DPROGRAMS=<exe|exe...> -P CheckRunsOnXp.cmake
#
# The programs are separated by "|" (a ";" would split the argument). A 64-bit
# program is probed with the x86_64 cross compiler, a 32-bit one with i686's.
#
# - The header asks for no newer Windows than 5.01, as operating system and as
#   subsystem version: a newer one and XP refuses to start the program.
# - It imports from no DLL but those of every Windows XP (the list below), by
#   name only: an ordinal cannot be checked.
# - Every function it imports from a system DLL is declared by the SDK headers
#   when they are told _WIN32_WINNT=0x0501 and WINVER=0x0501: the headers leave
#   out what came with a later Windows (GetTickCount64 and the like), so a probe
#   that takes the address of each imported function compiles only when all of
#   them exist on XP. The probe is the cross compiler itself: nothing to keep
#   in step by hand.
# - The C library is Windows' own msvcrt.dll, whose functions the headers do not
#   tell apart by Windows version (they describe a later msvcrt.dll than XP's):
#   every function imported from it must be in CRT_LIST, the checked-in list of
#   those known to be exported by the msvcrt.dll of Windows XP SP3.
cmake_minimum_required(VERSION 3.25)

foreach(var OBJDUMP CXX CRT_LIST WORK PROGRAMS)
  if(NOT ${var})
    message(FATAL_ERROR "CheckRunsOnXp: no ${var} given")
  endif()
endforeach()

# The DLLs of every Windows XP that a program of ours may use, and the headers
# that declare their functions.
set(system_dlls kernel32 user32 gdi32 comctl32 comdlg32 ole32 oleaut32 advapi32 shell32 msvcrt)
set(system_headers windows.h commctrl.h commdlg.h ole2.h olectl.h shellapi.h shlobj.h)

string(REPLACE "|" ";" PROGRAMS "${PROGRAMS}")
list(REMOVE_ITEM PROGRAMS "")

file(STRINGS "${CRT_LIST}" crt_known REGEX "^[^#]")
list(TRANSFORM crt_known STRIP)

set(problems "")
foreach(program IN LISTS PROGRAMS)
  if(NOT EXISTS "${program}")
    string(APPEND problems "  ${program}: no such program (build it first)\n")
    continue()
  endif()
  get_filename_component(name "${program}" NAME)
  # Each binutils reads its own PE flavour: i686's, else x86_64's.
  string(REPLACE "i686-w64-mingw32" "x86_64-w64-mingw32" objdump64 "${OBJDUMP}")
  foreach(objdump IN ITEMS "${OBJDUMP}" "${objdump64}")
    execute_process(COMMAND "${objdump}" -p "${program}"
      OUTPUT_VARIABLE dump ERROR_VARIABLE errors RESULT_VARIABLE result)
    if(result EQUAL 0)
      break()
    endif()
  endforeach()
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "CheckRunsOnXp: objdump -p ${program} failed: ${errors}")
  endif()

  # The compiler whose headers describe this program's Windows: 32- or 64-bit.
  set(cxx "${CXX}")
  if(dump MATCHES "\nMagic[ \t]+020b")
    string(REPLACE "i686-w64-mingw32" "x86_64-w64-mingw32" cxx "${cxx}")
  else()
    string(REPLACE "x86_64-w64-mingw32" "i686-w64-mingw32" cxx "${cxx}")
  endif()
  if(NOT EXISTS "${cxx}")
    message(FATAL_ERROR "CheckRunsOnXp: ${name}: no compiler ${cxx} to probe its imports with")
  endif()

  # The versions the header asks for.
  foreach(kind OSystem Subsystem)
    if(NOT dump MATCHES "Major${kind}Version[ \t]+([0-9]+)[^\n]*\n[^\n]*Minor${kind}Version[ \t]+([0-9]+)")
      message(FATAL_ERROR "CheckRunsOnXp: ${name}: objdump shows no Major${kind}Version")
    endif()
    set(major ${CMAKE_MATCH_1})
    set(minor ${CMAKE_MATCH_2})
    if(major GREATER 5 OR (major EQUAL 5 AND minor GREATER 1))
      string(APPEND problems "  ${name}: the header asks for Windows ${major}.${minor} as ${kind} version, XP is 5.1\n")
    endif()
  endforeach()
  if(NOT dump MATCHES "\nSubsystem[ \t]+0000000[23][ \t]")
    string(APPEND problems "  ${name}: not a Windows GUI or console program\n")
  endif()

  # The import table: "DLL Name: X", then one line per function (hint and name).
  string(REPLACE ";" "," dump "${dump}")
  string(REPLACE "\n" ";" lines "${dump}")
  set(dll "")
  set(functions "")  # "dll:function" for the system DLLs but msvcrt
  set(count 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*DLL Name: (.+)$")
      string(STRIP "${CMAKE_MATCH_1}" dll)
      string(TOLOWER "${dll}" dll)
      string(REGEX REPLACE "\\.dll$" "" dll "${dll}")
      list(FIND system_dlls "${dll}" known)
      if(known EQUAL -1)
        string(APPEND problems "  ${name}: imports from ${dll}.dll, which is not one of Windows XP's own DLLs that we allow (${system_dlls})\n")
      endif()
    elseif(dll AND line MATCHES "^[ \t]+[0-9a-fA-F]+[ \t]+[0-9]+[ \t]+([A-Za-z_?@$][A-Za-z0-9_?@$]*)[ \t]*$")
      set(function ${CMAKE_MATCH_1})
      math(EXPR count "${count} + 1")
      if(dll STREQUAL "msvcrt")
        list(FIND crt_known "${function}" known)
        if(known EQUAL -1)
          string(APPEND problems "  ${name}: imports ${function} from msvcrt.dll, which is not on the list of what XP's msvcrt.dll exports (${CRT_LIST})\n")
        endif()
      else()
        list(APPEND functions "${dll}:${function}")
      endif()
    elseif(dll AND line MATCHES "^[ \t]+[0-9a-fA-F]+[ \t]+<none>")
      string(APPEND problems "  ${name}: imports by ordinal from ${dll}.dll: ${line}\n")
    elseif(line MATCHES "^[ \t]*$" OR line MATCHES "^The Function Table" OR line MATCHES "^There is an export table")
      set(dll "")
    endif()
  endforeach()
  if(count EQUAL 0)
    message(FATAL_ERROR "CheckRunsOnXp: ${name}: objdump shows no imported function at all")
  endif()

  # The probe: one line per function, so that an error's line names it.
  list(REMOVE_DUPLICATES functions)
  set(probe "#define _WIN32_WINNT 0x0501\n#define WINVER 0x0501\n#define _WIN32_IE 0x0603\n")
  foreach(header IN LISTS system_headers)
    string(APPEND probe "#include <${header}>\n")
  endforeach()
  string(APPEND probe "const void* const imported[] = {\n")
  string(REGEX MATCHALL "\n" header_lines "${probe}")
  list(LENGTH header_lines first)
  math(EXPR first "${first} + 1")  # the line of the first function
  foreach(entry IN LISTS functions)
    string(REGEX REPLACE "^[^:]*:" "" function "${entry}")
    string(APPEND probe "    reinterpret_cast<const void*>(&::${function}),\n")
  endforeach()
  string(APPEND probe "};\n")
  file(MAKE_DIRECTORY "${WORK}")
  set(probe_file "${WORK}/${name}-xp-probe.cpp")
  file(WRITE "${probe_file}" "${probe}")
  execute_process(COMMAND "${cxx}" -std=c++20 -fsyntax-only -fmax-errors=0 -Wno-deprecated-declarations
      -U_WIN32_WINNT -UWINVER "${probe_file}"
    OUTPUT_VARIABLE out ERROR_VARIABLE errors RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    string(REGEX MATCHALL "xp-probe\\.cpp:[0-9]+:[0-9]+: error" failed "${errors}")
    if(NOT failed)
      message(FATAL_ERROR "CheckRunsOnXp: the probe ${probe_file} does not compile:\n${errors}")
    endif()
    set(missing "")
    foreach(error IN LISTS failed)
      string(REGEX REPLACE "^xp-probe\\.cpp:([0-9]+):.*$" "\\1" line "${error}")
      math(EXPR index "${line} - ${first}")
      list(GET functions ${index} entry)
      list(APPEND missing "${entry}")
    endforeach()
    list(REMOVE_DUPLICATES missing)
    foreach(entry IN LISTS missing)
      string(REPLACE ":" ".dll " entry "${entry}")
      string(APPEND problems "  ${name}: imports ${entry}, which Windows XP does not have (the SDK headers leave it out for _WIN32_WINNT 0x0501)\n")
    endforeach()
  endif()
  list(LENGTH functions probed)
  message(STATUS "CheckRunsOnXp: ${name}: ${count} imported functions, ${probed} of them probed against the XP headers")
endforeach()

if(problems)
  message(FATAL_ERROR "These programs would not start on Windows XP SP3:\n${problems}")
endif()
list(LENGTH PROGRAMS checked)
message(STATUS "CheckRunsOnXp: all ${checked} programs run on Windows XP SP3: ${PROGRAMS}")
