# Files kept beside the tests (archives, fuzz seeds, inputs that once made a
# fuzzer fail) built into a C++ source, so that every build reads them
# without reaching the source tree at run time (the Windows tests run under
# Wine).
#
# updater_embed_files(<variable> HEADER <header> NAMESPACE <ns> COMMENT <text> GLOBS <pattern>...)
#   sets <variable> to the generated source, to be listed among a test's
#   sources. The source defines <ns>::kEmbeddedFiles (name "folder/file",
#   data, size; see platform/testing/embedded_files.h) and
#   <ns>::kEmbeddedFileCount, as declared in <header>. README.md files are
#   left out. A new file is picked up when CMake next configures.
#
# Run with -P, the same file writes the source:
#   cmake -DOUTPUT=file -DFILES=a|b|c -DHEADER=dir/x.h -DNAMESPACE=ns -P embed_files.cmake

if(CMAKE_SCRIPT_MODE_FILE)
  string(REPLACE "|" ";" files "${FILES}")
  set(arrays "")
  set(table "")
  set(index 0)
  foreach(path IN LISTS files)
    file(READ "${path}" hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    cmake_path(GET path FILENAME name)
    cmake_path(GET path PARENT_PATH folder)
    cmake_path(GET folder FILENAME folder)
    string(APPEND arrays "const uint8_t kFile${index}[] = {${bytes} 0};\n")
    string(APPEND table "    {\"${folder}/${name}\", kFile${index}, ${size}},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  file(WRITE "${OUTPUT}.new"
    "// Generated from files kept beside the tests; add files to their folders instead.\n"
    "#include \"${HEADER}\"\n\n"
    "namespace ${NAMESPACE} {\nnamespace {\n${arrays}}  // namespace\n\n"
    "const test_support::EmbeddedFile kEmbeddedFiles[] = {\n${table}};\n"
    "const size_t kEmbeddedFileCount = ${index};\n\n}  // namespace ${NAMESPACE}\n")
  file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
  file(REMOVE "${OUTPUT}.new")
  return()
endif()

set(UPDATER_EMBED_FILES_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(updater_embed_files variable)
  cmake_parse_arguments(E "" "HEADER;NAMESPACE;COMMENT" "GLOBS" ${ARGN})
  file(GLOB files CONFIGURE_DEPENDS ${E_GLOBS})
  list(FILTER files EXCLUDE REGEX "README\\.md$")
  list(SORT files)
  string(REPLACE ";" "|" files_arg "${files}")
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${E_NAMESPACE}_embedded_files.cpp)
  add_custom_command(
    OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${source} -DFILES=${files_arg} -DHEADER=${E_HEADER} -DNAMESPACE=${E_NAMESPACE}
            -P ${UPDATER_EMBED_FILES_SCRIPT}
    DEPENDS ${files} ${UPDATER_EMBED_FILES_SCRIPT}
    COMMENT "${E_COMMENT}"
    VERBATIM)
  set(${variable} ${source} PARENT_SCOPE)
endfunction()
