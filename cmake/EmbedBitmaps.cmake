# Writes a C++ source that holds the PNG files of resources/bitmaps as byte
# arrays and adds each to a resource module as a bitmap numbered by the
# number its file name starts with ("144_database_icons_16.png" is 144).
# Run as: cmake -DOUTPUT=file.cpp -DINPUTS="a.png|b.png" -P EmbedBitmaps.cmake

string(REPLACE "|" ";" INPUTS "${INPUTS}")
set(body "")
set(entries "")
set(index 0)
foreach(input ${INPUTS})
  get_filename_component(name ${input} NAME)
  string(REGEX MATCH "^[0-9]+" id "${name}")
  file(READ ${input} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "const ce::BYTE kBitmap${index}[] = {${bytes}};\n")
  string(APPEND entries "    module.AddBitmap({${id}, kBitmap${index}});\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.tmp
"// Generated from resources/bitmaps by cmake/EmbedBitmaps.cmake; do not edit.\n"
"#include \"resources/Editions.h\"\n\nnamespace res {\nnamespace {\n${body}}  // namespace\n\n"
"void AddBitmaps(ce::ResourceModule& module) {\n${entries}}\n\n}  // namespace res\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
