# The download fault scenarios (tests/scenarios/*.scenario, played against
# the scripted server of cmake/scripted_server.cmake).
#
# scenario_check: the runner's parts that need no engine (plans, patterns,
# sandbox, verdict), tested by scenario_check_test in every build.
# scenario_runner_test: one test per scenario file, found when CMake
# configures; linked and registered only when DOWNLIB_ENGINE is ON, and
# otherwise compiled so that it keeps to the library's public records.
set(scenario_tests_dir ${CMAKE_CURRENT_LIST_DIR})
set(scenario_work_dir ${CMAKE_CURRENT_BINARY_DIR}/scenario-work)

add_library(scenario_check STATIC
  ${scenario_tests_dir}/scenario/records.cpp
  ${scenario_tests_dir}/scenario/plan.cpp
  ${scenario_tests_dir}/scenario/text_pattern.cpp
  ${scenario_tests_dir}/scenario/verdict.cpp
  ${scenario_tests_dir}/scenario/sandbox.cpp)
updater_target_options(scenario_check)
target_link_libraries(scenario_check PUBLIC test_support platform)

updater_test(scenario_check_test SOURCES ${scenario_tests_dir}/scenario_check_test.cpp DEPS scenario_check)
target_compile_definitions(scenario_check_test PRIVATE UPDATER_SCENARIO_WORK_DIR="${scenario_work_dir}")
updater_use_scripted_server(scenario_check_test)

file(GLOB scenario_files CONFIGURE_DEPENDS ${scenario_tests_dir}/scenarios/*.scenario)
set(scenario_names)
foreach(file IN LISTS scenario_files)
  get_filename_component(name ${file} NAME_WE)
  list(APPEND scenario_names ${name})
endforeach()
list(SORT scenario_names)
list(JOIN scenario_names "," scenario_names)

set(runner_sources ${scenario_tests_dir}/scenario_runner_test.cpp ${scenario_tests_dir}/scenario/task_run.cpp)
set(runner_definitions UPDATER_SCENARIO_NAMES="${scenario_names}" UPDATER_SCENARIO_WORK_DIR="${scenario_work_dir}")
if(DOWNLIB_ENGINE)
  updater_test(scenario_runner_test SOURCES ${runner_sources} DEPS downlib scenario_check)
  target_compile_definitions(scenario_runner_test PRIVATE ${runner_definitions})
  updater_use_scripted_server(scenario_runner_test)
  updater_use_ftp_server(scenario_runner_test)
else()
  add_library(scenario_runner_compile_check OBJECT ${runner_sources})
  updater_target_options(scenario_runner_compile_check)
  target_compile_definitions(scenario_runner_compile_check PRIVATE ${runner_definitions})
  target_link_libraries(scenario_runner_compile_check PRIVATE downlib scenario_check GTest::gtest)
  target_include_directories(scenario_runner_compile_check PRIVATE ${PROJECT_SOURCE_DIR})
endif()
