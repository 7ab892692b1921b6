# One static library per source folder. Sources are collected from the folder so
# that adding a file needs no edit here; CONFIGURE_DEPENDS re-globs on build.
function(quorvale_library name dir)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    file(GLOB _sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    add_library(${name} STATIC ${_sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# One test executable per tests/ folder, registered with CTest as a whole; widget
# tests run on the offscreen platform so they need no display.
function(quorvale_test name dir)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    file(GLOB _sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    if(NOT _sources)
        return()
    endif()
    add_executable(${name} ${_sources})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    # Shipped files the tests read; __FILE__ is relative when ccache rewrites paths.
    target_compile_definitions(${name} PRIVATE QUORVALE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    # A folder with its own main.cpp (widget tests need a QApplication) does
    # without gtest's.
    set(_gtest_main GTest::gtest_main)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/main.cpp)
        set(_gtest_main)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} qv_testsupport GTest::gtest ${_gtest_main})
    add_test(NAME ${name} COMMAND ${name})
    quorvale_test_environment(_env)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${_env}" TIMEOUT 600)
endfunction()

# What every test runs with: offscreen widgets, scratch files in the build tree,
# and under the sanitizers their options.
function(quorvale_test_environment out)
    set(_env "QT_QPA_PLATFORM=offscreen;QUORVALE_TEST_TMP=${CMAKE_BINARY_DIR}/testtmp")
    if(QUORVALE_SANITIZE)
        # Leaks inside the system's own libraries (fonts, GLib types) are theirs,
        # not ours; everything else fails the test.
        list(APPEND _env
            "ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1"
            "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
            "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
    endif()
    set(${out} "${_env}" PARENT_SCOPE)
endfunction()

# The suite of an existing test target once more with its program database on the
# PostgreSQL server of scripts/with-postgres.sh, as <name>_on_server; ONLY names the
# gtest suites to run there when the rest of the target is about files alone.
function(quorvale_test_on_server name)
    cmake_parse_arguments(ARG "" "ONLY" "" ${ARGN})
    if(NOT TARGET ${name})
        return()
    endif()
    set(_filter)
    if(ARG_ONLY)
        set(_filter "--gtest_filter=${ARG_ONLY}")
    endif()
    add_test(NAME ${name}_on_server COMMAND ${name} ${_filter})
    quorvale_test_environment(_env)
    list(APPEND _env "QUORVALE_TEST_ENGINE=server")
    set_tests_properties(${name}_on_server PROPERTIES ENVIRONMENT "${_env}" TIMEOUT 600
                         LABELS server RESOURCE_LOCK postgres-server)
endfunction()
