# Writes stored fuzz inputs into a C++ source, so that every build checks
# them without reading files at run time (the Windows tests run under Wine).
#   cmake -DOUTPUT=file -DFILES=a|b|c -DHEADER=dir/corpus.h -DNAMESPACE=ns -P embed_fuzz_corpus.cmake
# The source defines ns::kCorpusInputs (name "folder/file", data, size) and
# ns::kCorpusInputCount, as declared in HEADER.
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
  string(APPEND arrays "const uint8_t kInput${index}[] = {${bytes} 0};\n")
  string(APPEND table "    {\"${folder}/${name}\", kInput${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new"
  "// Generated from the stored fuzz inputs; add files to the folders instead.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace ${NAMESPACE} {\nnamespace {\n${arrays}}  // namespace\n\n"
  "const CorpusInput kCorpusInputs[] = {\n${table}};\n"
  "const size_t kCorpusInputCount = ${index};\n\n}  // namespace ${NAMESPACE}\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
