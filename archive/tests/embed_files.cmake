# Writes files into a C++ source, so that every build reads them without
# reaching the source tree at run time (the Windows tests run under Wine).
# -DOUTPUT=file -DFILES=a|b|c ; each becomes {"folder/name", bytes, size}.
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
  "// Generated from archive/tests/data and the fuzz folders; add files there instead.\n"
  "#include \"archive/tests/embedded_files.h\"\n\n"
  "namespace zip_test {\nnamespace {\n${arrays}}  // namespace\n\n"
  "const EmbeddedFile kEmbeddedFiles[] = {\n${table}};\n"
  "const size_t kEmbeddedFileCount = ${index};\n\n}  // namespace zip_test\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
