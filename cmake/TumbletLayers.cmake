# Each library sees only its own headers and those of the libraries it links: its include folder
# in the build tree holds one link, named after the layer, to its source folder. Linking carries
# the folders of the layers below, so an include against the layer order does not compile.
function(tumblet_layer_headers target layer)
    set(_root ${PROJECT_BINARY_DIR}/include/${layer})
    file(MAKE_DIRECTORY ${_root})
    if(NOT EXISTS ${_root}/${layer})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${_root}/${layer} SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC ${_root})
endfunction()

# A plug-in library as hosts load it: no "lib" prefix, in the given folder, exporting only what
# the version script names (the format's entry) and leaving no symbol unresolved. Each format
# adapter (entry for VST 2.4, lv2, clap) is the only layer that sees its format's headers.
function(tumblet_plugin_library target directory exports)
    set_target_properties(${target} PROPERTIES
        PREFIX ""
        LIBRARY_OUTPUT_DIRECTORY ${directory}
        LINK_DEPENDS ${exports})
    target_link_options(${target} PRIVATE -Wl,--version-script=${exports} -Wl,--no-undefined)
endfunction()
