# The floors of the source tree. A floor's target sees the headers of its own folders and, through
# the targets it links, those of the floors below it; a header of a higher floor is not found, so a
# wrong include fails the build. Each target's view is a folder of links to the folders it may see.
function(trillora_floor target)
    set(view ${CMAKE_BINARY_DIR}/floors/${target})
    file(MAKE_DIRECTORY ${view})
    foreach(folder IN LISTS ARGN)
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PUBLIC ${view})
    target_compile_options(${target} PRIVATE ${TRILLORA_WARNINGS})
endfunction()
