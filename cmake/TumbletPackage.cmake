# Installing and packaging: the plug-ins where Linux hosts look for them, the tools with their
# manual pages, the user guide and the Debian package's own papers. Every installed binary is
# stripped on the way in; its debug information stays beside the build, in build/debug/, and the
# installed file names it by a debug link.
set(TUMBLET_DEBUG_DIR ${PROJECT_BINARY_DIR}/debug)
set(TUMBLET_DOC_DIR share/doc/tumblet)

# Installs one built binary, stripped. PROGRAM: runnable; otherwise a plug-in, which is loaded,
# never run, and so read-only like any shared library. OPTIONAL: skipped, folder and all, when
# the build did not make it.
function(tumblet_install_binary file destination)
    cmake_parse_arguments(ARG "OPTIONAL;PROGRAM" "" "" ${ARGN})
    get_filename_component(_name ${file} NAME)
    set(_mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    if(ARG_PROGRAM)
        list(APPEND _mode OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
    endif()
    set(_missing "message(FATAL_ERROR \"${_name} is not built: build before installing\")")
    if(ARG_OPTIONAL)
        set(_missing "")
    endif()
    set(_debug ${TUMBLET_DEBUG_DIR}/${_name}.debug)
    install(CODE "
        if(EXISTS \"${file}\")
            file(INSTALL \"${file}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${destination}\"
                 PERMISSIONS ${_mode})
            set(_installed \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${_name}\")
            file(MAKE_DIRECTORY \"${TUMBLET_DEBUG_DIR}\")
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --only-keep-debug \"${file}\" \"${_debug}\"
                            COMMAND_ERROR_IS_FATAL ANY)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --strip-unneeded
                                    \"--add-gnu-debuglink=${_debug}\" \"\${_installed}\"
                            COMMAND_ERROR_IS_FATAL ANY)
        else()
            ${_missing}
        endif()")
endfunction()

tumblet_install_binary(${PROJECT_BINARY_DIR}/Tumblet.so lib/vst)
foreach(_library Tumblet_lv2.so Tumblet_lv2ui.so)
    tumblet_install_binary(${TUMBLET_LV2_BUNDLE}/${_library} lib/lv2/Tumblet.lv2)
endforeach()
install(FILES ${TUMBLET_LV2_BUNDLE}/manifest.ttl ${TUMBLET_LV2_BUNDLE}/Tumblet.ttl
        DESTINATION lib/lv2/Tumblet.lv2)
tumblet_install_binary(${PROJECT_BINARY_DIR}/Tumblet.clap lib/clap)
foreach(_tool tumblet-render tumblet-info)
    tumblet_install_binary(${PROJECT_BINARY_DIR}/${_tool} bin PROGRAM)
endforeach()

# Manual pages and the changelog, compressed as Debian keeps them.
set(_papers)
foreach(_page tumblet-render.1 tumblet-info.1)
    set(_out ${PROJECT_BINARY_DIR}/papers/${_page}.gz)
    add_custom_command(OUTPUT ${_out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/papers
        COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/resources/man/${_page} ${_out}
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/man/${_page} VERBATIM)
    list(APPEND _papers ${_out})
    install(FILES ${_out} DESTINATION share/man/man1)
endforeach()
set(_changelog ${PROJECT_BINARY_DIR}/papers/changelog.gz)
add_custom_command(OUTPUT ${_changelog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/papers
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/resources/debian/changelog
            ${_changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian/changelog VERBATIM)
add_custom_target(tumblet_papers ALL DEPENDS ${_papers} ${_changelog})
install(FILES ${_changelog} ${PROJECT_SOURCE_DIR}/resources/debian/copyright
        DESTINATION ${TUMBLET_DOC_DIR})
get_property(_guide GLOBAL PROPERTY TUMBLET_USER_GUIDE)
if(_guide)
    install(FILES "${_guide}" DESTINATION ${TUMBLET_DOC_DIR})
endif()

# The changelog's newest entry names the version the package is made with.
file(STRINGS ${PROJECT_SOURCE_DIR}/resources/debian/changelog _first LIMIT_COUNT 1)
if(NOT _first MATCHES "^tumblet \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "resources/debian/changelog does not begin with version ${PROJECT_VERSION}")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tumblet)
set(CPACK_PACKAGE_VENDOR Brindlex)
set(CPACK_PACKAGE_CONTACT "Brindlex <tumblet@brindlex.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "random MIDI arpeggiator plug-in (VST 2.4 and LV2)")
set(CPACK_PACKAGE_DESCRIPTION
    "Tumblet turns the notes held on a keyboard into arpeggios whose order,\n"
    "octaves, gate, velocity and timing can each be given a measure of chance.\n"
    "It plays in time with the host's tempo and position.\n"
    "\n"
    "This package holds the VST 2.4 plug-in, the LV2 plug-in with its editor,\n"
    "the tumblet-render and tumblet-info command-line tools and the user guide.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://brindlex.org/tumblet)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
