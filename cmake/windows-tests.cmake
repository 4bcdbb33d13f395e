# Tests of the Windows build: the platform contract tests that hold for any Win32
# implementation (tests/contract/win32_*_test.cpp), built with GoogleTest from Debian's source
# package and run under Wine by CTest. The other tests use the POSIX layer's internals and stay
# in the POSIX build.
set(PELLMARK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")
if(NOT EXISTS ${PELLMARK_GTEST_SOURCE}/CMakeLists.txt)
  message(WARNING "No GoogleTest sources at ${PELLMARK_GTEST_SOURCE}: Windows tests are not built")
  return()
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${PELLMARK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest is not our code: our warning level applies, our -Werror does not.
target_compile_options(gtest PRIVATE -Wno-error)
target_compile_options(gtest_main PRIVATE -Wno-error)

# 64-bit Wine runs the test programs; the 32-bit build's tests are built only.
find_program(PELLMARK_WINE NAMES wine)
if(PELLMARK_WINE AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PELLMARK_WINE})
endif()

enable_testing()
file(GLOB PELLMARK_WIN32_CONTRACT_TESTS CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/tests/contract/win32_*_test.cpp)
foreach(source ${PELLMARK_WIN32_CONTRACT_TESTS})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${PROJECT_SOURCE_DIR}/tests/support/test_support.cpp)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE pellmark_parts ${PELLMARK_WIN32_LIBS} gtest gtest_main)
  target_link_options(${name} PRIVATE ${PELLMARK_WIN32_LINK_OPTIONS})
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120 ENVIRONMENT
      "PELLMARK_SOURCE_DIR=${PROJECT_SOURCE_DIR};PELLMARK_TEST_TMP=${CMAKE_CURRENT_BINARY_DIR}/tests/tmp")
  endif()
endforeach()
