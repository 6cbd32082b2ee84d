# Turns one file into a C++ source file holding its bytes, at build time:
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -P EmbedFile.cmake
# defines resources::embedded::<name> (the bytes) and <name>Size.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
# 20 bytes per line keeps the generated source readable in a debugger.
string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])"
       "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Made from resources/${SUBDIR}/${name} at build time.\n"
  "#include <cstdint>\n\n"
  "namespace resources::embedded {\n\n"
  "extern const uint8_t ${SYMBOL}[] = {\n${bytes}\n};\n"
  "extern const uint32_t ${SYMBOL}Size = ${size};\n\n"
  "}  // namespace resources::embedded\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
