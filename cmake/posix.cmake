# The POSIX build: our own Win32 subset on cairo, fontconfig/FreeType and libcups.
find_package(PkgConfig REQUIRED)
pkg_check_modules(PM_DEPS REQUIRED IMPORTED_TARGET cairo cairo-pdf cairo-ps cairo-ft fontconfig freetype2 zlib)
find_program(CUPS_CONFIG cups-config REQUIRED)
execute_process(COMMAND ${CUPS_CONFIG} --cflags OUTPUT_VARIABLE CUPS_CFLAGS OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CUPS_CONFIG} --libs OUTPUT_VARIABLE CUPS_LIBS OUTPUT_STRIP_TRAILING_WHITESPACE)
separate_arguments(CUPS_CFLAGS)
separate_arguments(CUPS_LIBS)
find_library(PAPER_LIB paper)

file(GLOB_RECURSE PELLMARK_POSIX_SOURCES CONFIGURE_DEPENDS src/platform/posix/*.cpp)
list(FILTER PELLMARK_POSIX_SOURCES EXCLUDE REGEX ".*/core/entry\\.cpp$")
add_library(pellmark_posix STATIC ${PELLMARK_POSIX_SOURCES})
target_include_directories(pellmark_posix PUBLIC src src/platform/posix ${CMAKE_CURRENT_BINARY_DIR}/generated)
target_compile_options(pellmark_posix PRIVATE ${CUPS_CFLAGS})
target_link_libraries(pellmark_posix PUBLIC PkgConfig::PM_DEPS ${CUPS_LIBS} ${CMAKE_DL_LIBS})
if(PAPER_LIB)
  target_link_libraries(pellmark_posix PUBLIC ${PAPER_LIB})
  target_compile_definitions(pellmark_posix PRIVATE PELLMARK_HAVE_LIBPAPER=1)
endif()

# Dialog templates: the resource script is the one source for both builds.
include(${CMAKE_CURRENT_LIST_DIR}/resources.cmake OPTIONAL)

target_link_libraries(pellmark_parts PUBLIC pellmark_posix)
# The layer reads the program's constant paper table, so the two libraries need each other.
target_link_libraries(pellmark_posix PUBLIC pellmark_parts)
set_property(TARGET pellmark_parts pellmark_posix PROPERTY LINK_INTERFACE_MULTIPLICITY 4)

add_executable(pellmark src/platform/posix/core/entry.cpp)
target_link_libraries(pellmark PRIVATE pellmark_parts pellmark_posix)

if(PELLMARK_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
