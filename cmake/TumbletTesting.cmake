# Shared helpers for the test, benchmark and fuzz folders.

# Adds every sub-folder of the calling folder that has a CMakeLists.txt.
function(tumblet_add_subfolders)
    file(GLOB _children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT _children)
    foreach(child ${_children})
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()

# tumblet_add_gtest(<target> SOURCES ... LIBS ... [LABELS ...] [ENV ...])
# One ctest entry per test binary; GoogleTest prints the per-case detail.
function(tumblet_add_gtest target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    find_package(GTest REQUIRED)
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
    # Each test binary gets a home of its own, so nothing reads or writes the user's settings
    # and presets.
    set(_home ${PROJECT_BINARY_DIR}/test-home/${target})
    file(MAKE_DIRECTORY ${_home})
    set(_env "TUMBLET_PLUGIN=$<TARGET_FILE_DIR:Tumblet>/Tumblet.so;TUMBLET_BUILD_DIR=${PROJECT_BINARY_DIR}")
    list(APPEND _env "HOME=${_home}" "XDG_CONFIG_HOME=${_home}/.config")
    list(APPEND _env ${ARG_ENV})
    # A hang (a modal loop waiting for input, a lost wake-up) fails the run instead of stalling it.
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "${_env}" LABELS "${ARG_LABELS}"
                                              TIMEOUT 900)
    if("threads" IN_LIST ARG_LABELS)
        set_property(GLOBAL APPEND PROPERTY TUMBLET_THREAD_TESTS ${target})
    endif()
endfunction()
