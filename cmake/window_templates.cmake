# Window templates: a readable window description turned into the template
# data of the program image at build time by tools/template_writer.
#
# updater_window_templates(TARGET t DESCRIPTION file SYMBOL name
#                          [SIZE_SYMBOL name] [NAMESPACE ns])
# adds to t the generated source that defines `const uint8_t name[]` and
# `const uint32_t nameSize` (or SIZE_SYMBOL), and puts on t's include path
# name.h (their declarations) and name_routines.inc (one UPDATER_ROUTINE(R)
# line per event routine, in the order of the routine table whose address is
# the program's code base). Handlers are written for this build's pointer size.

set(UPDATER_PYTHON /usr/bin/python3 CACHE FILEPATH "Python 3 for the build-time tools")
set(UPDATER_TEMPLATE_WRITER_DIR ${CMAKE_CURRENT_LIST_DIR}/../tools/template_writer)
cmake_path(NORMAL_PATH UPDATER_TEMPLATE_WRITER_DIR)

function(updater_window_templates)
  cmake_parse_arguments(W "" "TARGET;DESCRIPTION;SYMBOL;SIZE_SYMBOL;NAMESPACE" "" ${ARGN})
  if(NOT W_TARGET OR NOT W_DESCRIPTION OR NOT W_SYMBOL)
    message(FATAL_ERROR "updater_window_templates needs TARGET, DESCRIPTION and SYMBOL")
  endif()
  cmake_path(ABSOLUTE_PATH W_DESCRIPTION BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/window_templates)
  set(stem ${dir}/${W_SYMBOL})
  set(options --output-dir ${dir} --symbol ${W_SYMBOL} --pointer-size ${CMAKE_SIZEOF_VOID_P}
      --depfile ${stem}.d)
  if(W_SIZE_SYMBOL)
    list(APPEND options --size-symbol ${W_SIZE_SYMBOL})
  endif()
  if(W_NAMESPACE)
    list(APPEND options --namespace ${W_NAMESPACE})
  endif()
  file(GLOB writer_sources CONFIGURE_DEPENDS ${UPDATER_TEMPLATE_WRITER_DIR}/*.py)
  add_custom_command(
    OUTPUT ${stem}.cpp ${stem}.h ${stem}_routines.inc
    COMMAND ${UPDATER_PYTHON} -B ${UPDATER_TEMPLATE_WRITER_DIR}/template_writer.py ${W_DESCRIPTION} ${options}
    DEPENDS ${W_DESCRIPTION} ${writer_sources}
    DEPFILE ${stem}.d
    COMMENT "Writing window templates ${W_SYMBOL}"
    VERBATIM)
  target_sources(${W_TARGET} PRIVATE ${stem}.cpp ${stem}.h ${stem}_routines.inc)
  target_include_directories(${W_TARGET} PUBLIC ${dir})
endfunction()
