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

# A module that the program loads (sound/, network/): its static library, which the tests link, and
# the module itself. Both see the module's own folder and the floors that the seam's Linux side sees,
# whose module interface (linux/Modules.h) they implement; nothing of the windows.
function(trillora_module library module folder)
    trillora_floor(${library} ${folder})
    foreach(part ${library} ${module})
        foreach(floor trillora_core trillora_platform trillora_linux)
            target_include_directories(${part} PUBLIC ${CMAKE_BINARY_DIR}/floors/${floor})
        endforeach()
        target_compile_options(${part} PRIVATE ${TRILLORA_WARNINGS})
        set_target_properties(${part} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    endforeach()
    # Beside the executable, where the program looks for it; installed the same way.
    set_target_properties(${module} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    install(TARGETS ${module} LIBRARY DESTINATION lib/trillora)
endfunction()
