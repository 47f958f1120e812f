# The build identity that the program and its modules share, checked before a module is loaded.
#
# It is a hash of the content of every source of the program and of its two modules, together with
# what they are compiled with (compiler, flags, build type, sanitizers, Qt). Two builds whose modules
# could expect anything different of the program (a class layout, a symbol, an inline function)
# differ in one of those, so their identities differ; two builds of the same sources with the same
# tools make the same code, and their modules are rightly taken as one another's. A value drawn at
# configure time would not do: it stays the same while sources change and the build is redone.
#
# The hash is worked out at build time, whenever one of those files has changed, and the header is
# written only when the identity changes. Only the program's entry and the two modules include it
# (the program hands it to the platform seam), so a changed identity recompiles three small files
# and relinks those three, and a build that changed nothing does nothing.
set(trillora_identity_dir ${CMAKE_BINARY_DIR}/identity)
set(trillora_identity_inputs "${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION} ${CMAKE_SYSTEM_PROCESSOR}")
string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
string(APPEND trillora_identity_inputs " | ${CMAKE_BUILD_TYPE} | ${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${build_type}}"
       " | sanitize=${TRILLORA_SANITIZE} fuzz=${TRILLORA_FUZZ} | Qt ${Qt6_VERSION}\n")

set(identity_files ${CMAKE_SOURCE_DIR}/CMakeLists.txt ${CMAKE_SOURCE_DIR}/tools/hardening.cmake
    ${CMAKE_SOURCE_DIR}/app/main.cpp)
foreach(target trillora_core trillora_platform trillora_widgets trillora_windows trillora_linux trillora_sound
               trillora_network trillora_sound_module trillora_network_module)
    get_target_property(dir ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    list(APPEND identity_files ${dir}/CMakeLists.txt)
    foreach(source IN LISTS sources)
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir} NORMALIZE OUTPUT_VARIABLE file)
        # Generated sources (moc, resources) follow from the listed ones.
        cmake_path(IS_PREFIX CMAKE_SOURCE_DIR "${file}" NORMALIZE in_sources)
        if(in_sources AND EXISTS "${file}")
            list(APPEND identity_files "${file}")
        endif()
    endforeach()
endforeach()
list(REMOVE_DUPLICATES identity_files)
list(SORT identity_files)
foreach(file IN LISTS identity_files)
    file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${file})
    string(APPEND trillora_identity_inputs "${relative}\n")
endforeach()
# Rewritten only when it changes, so that a new configure alone does not change the identity's age.
file(CONFIGURE OUTPUT ${trillora_identity_dir}/inputs.txt CONTENT "${trillora_identity_inputs}" @ONLY)

add_custom_command(
    OUTPUT ${trillora_identity_dir}/identity.stamp
    BYPRODUCTS ${trillora_identity_dir}/BuildIdentity.h
    COMMAND ${CMAKE_COMMAND} -DINPUTS=${trillora_identity_dir}/inputs.txt -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
            -DOUTPUT=${trillora_identity_dir}/BuildIdentity.h -P ${CMAKE_SOURCE_DIR}/tools/identity-write.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${trillora_identity_dir}/identity.stamp
    DEPENDS ${trillora_identity_dir}/inputs.txt ${identity_files} ${CMAKE_SOURCE_DIR}/tools/identity-write.cmake
    COMMENT "Working out the build identity"
    VERBATIM)
add_custom_target(trillora_identity_header DEPENDS ${trillora_identity_dir}/identity.stamp)

# What includes BuildIdentity.h links this: the header's folder, and the header made first.
add_library(trillora_identity INTERFACE)
target_include_directories(trillora_identity INTERFACE ${trillora_identity_dir})
add_dependencies(trillora_identity trillora_identity_header)
target_link_libraries(trillora_sound_module PRIVATE trillora_identity)
target_link_libraries(trillora_network_module PRIVATE trillora_identity)
