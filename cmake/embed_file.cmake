# Writes a C++ source holding a file's bytes, as a function returning a span over them.
# Run as: cmake -DINPUT=<file> -DOUTPUT=<source> -DFUNCTION=<name> -DHEADER=<include> -P
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.new"
     "// Made from ${INPUT} at build time.\n"
     "#include \"${HEADER}\"\n\n"
     "namespace fenwhit {\n\n"
     "namespace {\nconst uint8_t kBytes[${size}] = {\n    ${bytes}\n};\n}  // namespace\n\n"
     "std::span<const uint8_t> ${FUNCTION}() { return kBytes; }\n\n"
     "}  // namespace fenwhit\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
