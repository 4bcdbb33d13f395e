# The Windows build: the program's own code on the real Win32 API, cross-built with MinGW-w64
# (see cmake/toolchain-*-w64-mingw32.cmake). WinMain is the program's own; the system's
# import libraries provide everything else.
enable_language(RC)

set(PELLMARK_WIN32_LIBS gdi32 user32 comdlg32 winspool kernel32)
# One self-contained .exe: no MinGW runtime DLLs (libgcc, libstdc++, winpthread) to ship.
set(PELLMARK_WIN32_LINK_OPTIONS -static -static-libgcc -static-libstdc++)

# Dialog templates (the progress dialog and the option help) from the resource script.
file(GLOB PELLMARK_RESOURCE_SCRIPTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/*.rc)
# Windows-only glue, if the program ever needs any.
file(GLOB_RECURSE PELLMARK_WINDOWS_GLUE CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/platform/windows/*.cpp)

# The module definition exports the abort and progress dialog procedures by their plain names.
# 32-bit stdcall symbols carry an @bytes suffix, so the 32-bit build exports each plain name as
# an alias of its decorated symbol; the table gives the bytes of each procedure's arguments.
set(PELLMARK_MODULE_DEF ${PROJECT_SOURCE_DIR}/res/pellmark.def)
set(PELLMARK_STDCALL_ARGUMENT_BYTES AbrtProc=8 AbrtDlgP=16)

# Writes `output`: the module definition `input` with each export named in the stdcall table
# turned into "Name = Name@bytes". Other lines are copied unchanged; a line that already names
# its symbol (an "=" or a decorated name) is left alone.
function(pellmark_write_stdcall_def input output)
  file(STRINGS ${input} lines)
  set(text "")
  foreach(line IN LISTS lines)
    foreach(entry IN LISTS PELLMARK_STDCALL_ARGUMENT_BYTES)
      string(REPLACE "=" ";" pair ${entry})
      list(GET pair 0 name)
      list(GET pair 1 bytes)
      # The last MATCHES sets CMAKE_MATCH_n, so the pattern that captures comes last.
      if(NOT line MATCHES "${name}@" AND line MATCHES "^([ \t]*)${name}([ \t]+[^=]*)?$")
        set(line "${CMAKE_MATCH_1}${name} = ${name}@${bytes}${CMAKE_MATCH_2}")
      endif()
    endforeach()
    string(APPEND text "${line}\n")
  endforeach()
  file(WRITE ${output}.tmp "${text}")
  file(COPY_FILE ${output}.tmp ${output} ONLY_IF_DIFFERENT)
  file(REMOVE ${output}.tmp)
endfunction()

set(PELLMARK_LINK_DEF "")
# Globbed so that the build notices when the file appears.
file(GLOB PELLMARK_MODULE_DEF_FOUND CONFIGURE_DEPENDS ${PELLMARK_MODULE_DEF})
if(PELLMARK_MODULE_DEF_FOUND)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PELLMARK_MODULE_DEF})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(PELLMARK_LINK_DEF ${CMAKE_CURRENT_BINARY_DIR}/pellmark-i686.def)
    pellmark_write_stdcall_def(${PELLMARK_MODULE_DEF} ${PELLMARK_LINK_DEF})
  else()
    set(PELLMARK_LINK_DEF ${PELLMARK_MODULE_DEF})
  endif()
endif()

# The program's code, WinMain included, comes from pellmark_parts; the executable needs a
# source of its own all the same.
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/pellmark_module.cpp
  CONTENT "// The program's code is in the pellmark_parts library.\n")
add_executable(pellmark WIN32 ${CMAKE_CURRENT_BINARY_DIR}/pellmark_module.cpp ${PELLMARK_RESOURCE_SCRIPTS} ${PELLMARK_WINDOWS_GLUE})
target_include_directories(pellmark PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/res)
# All of pellmark_parts goes in: the C runtime's reference to WinMain comes after the archive
# has been scanned, and the exported procedures must be there whoever refers to them.
target_link_libraries(pellmark PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,pellmark_parts>"
  ${PELLMARK_WIN32_LIBS})
target_link_options(pellmark PRIVATE -mwindows ${PELLMARK_WIN32_LINK_OPTIONS})
# The module definition goes to the linker as an input file of its own (CMake leaves a .def
# source of an executable off the link line); relink when it changes.
if(PELLMARK_LINK_DEF)
  target_link_options(pellmark PRIVATE ${PELLMARK_LINK_DEF})
  set_property(TARGET pellmark APPEND PROPERTY LINK_DEPENDS ${PELLMARK_LINK_DEF})
endif()

if(PELLMARK_TESTS)
  include(${CMAKE_CURRENT_LIST_DIR}/windows-tests.cmake)
endif()
