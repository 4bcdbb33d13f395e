# The resource script res/pellmark.rc is the one source of the dialog templates. The Windows
# build compiles it with the resource compiler; the POSIX build embeds its text as bytes in a
# generated source file, and the dialog manager reads the dialog statements at run time.
#
# Run as a script (cmake -DINPUT=... -DOUTPUT=... -P resources.cmake) it writes that file.

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${INPUT}" script_hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," script_bytes "${script_hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n"
         script_bytes "${script_bytes}")
  file(WRITE "${OUTPUT}.tmp"
    "// Generated from res/pellmark.rc by cmake/resources.cmake: do not edit.\n"
    "#include <cstddef>\n\n"
    "extern const char resource_script_text[];\n"
    "extern const size_t resource_script_size;\n"
    "const char resource_script_text[] = {\n${script_bytes}0x00};\n"
    "const size_t resource_script_size = sizeof resource_script_text - 1;\n")
  file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
  return()
endif()

if(NOT TARGET pellmark_posix)
  return()
endif()

set(PELLMARK_RESOURCE_SCRIPT ${PROJECT_SOURCE_DIR}/res/pellmark.rc)
set(PELLMARK_RESOURCE_SOURCE ${CMAKE_CURRENT_BINARY_DIR}/generated/resource_script.cpp)
add_custom_command(
  OUTPUT ${PELLMARK_RESOURCE_SOURCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/generated
  COMMAND ${CMAKE_COMMAND} -DINPUT=${PELLMARK_RESOURCE_SCRIPT} -DOUTPUT=${PELLMARK_RESOURCE_SOURCE}
          -P ${CMAKE_CURRENT_LIST_FILE}
  DEPENDS ${PELLMARK_RESOURCE_SCRIPT} ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Embedding the resource script"
  VERBATIM)
target_sources(pellmark_posix PRIVATE ${PELLMARK_RESOURCE_SOURCE})
