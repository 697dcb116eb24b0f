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
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} tumblet_test_main GTest::gmock GTest::gtest)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
    # The shared test main gives each process a home of its own, whoever starts it.
    set(_env "TUMBLET_PLUGIN=$<TARGET_FILE_DIR:Tumblet>/Tumblet.so;TUMBLET_BUILD_DIR=${PROJECT_BINARY_DIR}")
    list(APPEND _env ${ARG_ENV})
    # Leak suppressions name library functions, which only full stacks show: the fast unwinder
    # stops at the first system library built without frame pointers. GLib's slice allocator
    # would hide a leaked pango layout from the leak checker inside its own blocks.
    list(TRANSFORM _env REPLACE "^(LSAN_OPTIONS=suppressions=[^;:]*)$" "\\1:fast_unwind_on_malloc=0")
    list(APPEND _env G_SLICE=always-malloc)
    # A hang (a lost wake-up, a window waiting for input) fails the run instead of stalling it;
    # a binary with skipped tests ends with 77, which ctest shows as skipped.
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "${_env}" LABELS "${ARG_LABELS}"
                                              TIMEOUT 900 SKIP_RETURN_CODE 77)
    set_property(GLOBAL APPEND PROPERTY TUMBLET_GTEST_TARGETS ${target})
    if("threads" IN_LIST ARG_LABELS)
        set_property(GLOBAL APPEND PROPERTY TUMBLET_THREAD_TESTS ${target})
    endif()
endfunction()
