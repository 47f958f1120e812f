# Writes BuildIdentity.h from the inputs that tools/identity.cmake lists: run at build time with
# -DINPUTS=<list> -DSOURCE_DIR=<top of the sources> -DOUTPUT=<header>.
file(STRINGS ${INPUTS} lines)
list(POP_FRONT lines tools)
set(content "${tools}\n")
foreach(relative IN LISTS lines)
    file(SHA256 ${SOURCE_DIR}/${relative} hash)
    string(APPEND content "${relative} ${hash}\n")
endforeach()
string(SHA256 identity "${content}")
string(SUBSTRING ${identity} 0 32 identity)

set(header "// The build identity of the program and its modules, written by tools/identity-write.cmake.
#pragma once

#define TRILLORA_IDENTITA \"${identity}\"
")
set(before "")
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} before)
endif()
# Left untouched when the identity stays, so that nothing that includes it is rebuilt.
if(NOT before STREQUAL header)
    file(WRITE ${OUTPUT} "${header}")
endif()
