# Turns a text file into a C++ source holding it as a writable, NUL-terminated char array.
# Usage: cmake -DINPUT=song.txt -DOUTPUT=song.cpp -DSYMBOL=embeddedSong -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT} at build time; edit that file, not this one.\n"
"// Writable on purpose: the song parser cuts the text in place.\n"
"char ${SYMBOL}[${size} + 1] = {\n${bytes}0x00};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
