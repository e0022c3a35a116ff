# Flags and helpers shared by every module.

# The program's texts are GBK (code page 936) byte strings; sources are UTF-8.
# Only GCC converts literals; clang (the fuzzing build) keeps them UTF-8.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(UPDATER_COMMON_FLAGS -finput-charset=UTF-8 -fexec-charset=GBK)
else()
  set(UPDATER_COMMON_FLAGS)
endif()
set(UPDATER_WARNINGS -Wall -Wextra -Wno-unused-parameter -Werror)

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # One self-contained executable per program: no MinGW runtime DLLs to copy.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# Coverage for libFuzzer in everything; only the fuzz targets link its driver.
option(UPDATER_FUZZ "Build the fuzz targets (clang)" OFF)
if(UPDATER_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(UPDATER_SANITIZE)
  add_compile_options(-fsanitize=${UPDATER_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${UPDATER_SANITIZE})
endif()

# Our own targets: the GBK literals and the warnings (GoogleTest keeps its own).
function(updater_target_options target)
  target_compile_options(${target} PRIVATE ${UPDATER_COMMON_FLAGS} ${UPDATER_WARNINGS})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

# updater_module(<name> [WINDOWS_ONLY] SOURCES ... [WINDOWS_SOURCES ...] [POSIX_SOURCES ...] [DEPS ...] [WINDOWS_DEPS ...])
function(updater_module name)
  cmake_parse_arguments(M "WINDOWS_ONLY" "" "SOURCES;WINDOWS_SOURCES;POSIX_SOURCES;DEPS;WINDOWS_DEPS;POSIX_DEPS" ${ARGN})
  if(M_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  set(srcs ${M_SOURCES})
  if(WIN32)
    list(APPEND srcs ${M_WINDOWS_SOURCES})
  else()
    list(APPEND srcs ${M_POSIX_SOURCES})
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  updater_target_options(${name})
  target_link_libraries(${name} PUBLIC ${M_DEPS})
  if(WIN32)
    target_link_libraries(${name} PUBLIC ${M_WINDOWS_DEPS})
  else()
    target_link_libraries(${name} PUBLIC ${M_POSIX_DEPS})
  endif()
endfunction()

# updater_test(<name> [WINDOWS_ONLY] [POSIX_ONLY] SOURCES ... DEPS ...)
# A GoogleTest executable; discovered at test time so the Wine prefix is ready.
function(updater_test name)
  cmake_parse_arguments(T "WINDOWS_ONLY;POSIX_ONLY" "" "SOURCES;DEPS;WINDOWS_SOURCES" ${ARGN})
  if(T_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  if(T_POSIX_ONLY AND WIN32)
    return()
  endif()
  set(srcs ${T_SOURCES})
  if(WIN32)
    list(APPEND srcs ${T_WINDOWS_SOURCES})
  endif()
  add_executable(${name} ${srcs})
  updater_target_options(${name})
  target_link_libraries(${name} PRIVATE ${T_DEPS} GTest::gtest_main GTest::gmock)
  if(UPDATER_RUN_TESTS)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 120)
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/window_templates.cmake)
