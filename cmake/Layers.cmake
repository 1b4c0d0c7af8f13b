# Each layer sees its own folder and the folders of the layers it links, nothing
# else: the library's include root is a folder of the build tree that holds links to
# the layer's files only. So an include of a higher layer (the engine including the
# application, the application core including the windows) fails to compile
# instead of waiting for a reviewer to notice.
#
# ferrovane_layer(TARGET FOLDER [EXCLUDE NAME...]) exposes FOLDER (relative to the
# source tree, and included by that path without "lib/": "tovan/..." for lib/tovan,
# "app/gui/..." for app/gui) to TARGET
# and whatever links it, leaving out the subfolders named after EXCLUDE.
function(ferrovane_layer target folder)
    cmake_parse_arguments(PARSE_ARGV 2 layer "" "" "EXCLUDE")
    set(root ${CMAKE_BINARY_DIR}/layers/${target})
    string(REGEX REPLACE "^lib/" "" include_name ${folder})
    set(view ${root}/${include_name})
    file(REMOVE_RECURSE ${root})
    file(MAKE_DIRECTORY ${view})
    # A new file of the folder re-runs this, so its link appears.
    file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/${folder}/*)
    foreach(child IN LISTS children)
        get_filename_component(name ${child} NAME)
        if(name IN_LIST layer_EXCLUDE OR name STREQUAL "CMakeLists.txt")
            continue()
        endif()
        file(CREATE_LINK ${child} ${view}/${name} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PUBLIC ${root})
endfunction()
