# Writes a C++ source that holds the PNG files of resources/bitmaps as byte
# arrays and adds each to a resource module as a bitmap numbered by the
# number its file name starts with ("144_database_icons_16.png" is 144);
# the files of resources/icons become pictures of icons, numbered the same
# way and sized by the number their name ends with ("101_program_16.png" is
# icon 101 at 16 by 16 pixels).
# Run as: cmake -DOUTPUT=file.cpp -DINPUTS="a.png|b.png" [-DICONS="c.png|d.png"] -P EmbedBitmaps.cmake

string(REPLACE "|" ";" INPUTS "${INPUTS}")
string(REPLACE "|" ";" ICONS "${ICONS}")
set(body "")
set(entries "")
set(index 0)

# Appends the bytes of `input` as array kBitmap<index>; `id` is its number.
macro(embed input)
  get_filename_component(name ${input} NAME)
  string(REGEX MATCH "^[0-9]+" id "${name}")
  file(READ ${input} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "const ce::BYTE kBitmap${index}[] = {${bytes}};\n")
endmacro()

foreach(input ${INPUTS})
  embed(${input})
  string(APPEND entries "    module.AddBitmap({${id}, kBitmap${index}});\n")
  math(EXPR index "${index} + 1")
endforeach()
foreach(input ${ICONS})
  embed(${input})
  if(NOT name MATCHES "_([0-9]+)\\.png$")
    message(FATAL_ERROR "icon file ${name} does not end with its size")
  endif()
  string(APPEND entries "    module.AddIcon({${id}, ${CMAKE_MATCH_1}, kBitmap${index}});\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.tmp
"// Generated from resources/bitmaps and resources/icons by cmake/EmbedBitmaps.cmake; do not edit.\n"
"#include \"resources/Editions.h\"\n\nnamespace res {\nnamespace {\n${body}}  // namespace\n\n"
"void AddBitmaps(ce::ResourceModule& module) {\n${entries}}\n\n}  // namespace res\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
