# serimo_test(name label library sources...): a test program linking the
# given library (serimo_core for the pure rules, serimo_app for the window),
# run by CTest under its label on the offscreen platform. The target
# unit_tests builds every unit test, for a build that runs only those.
function(serimo_test name label library)
    add_executable(${name} ${ARGN})
    # A test is one file: nothing to batch in a unity build, where its
    # QCOMPARE would also name it by its absolute path, which ccache would not
    # find again in a fresh clone.
    set_target_properties(${name} PROPERTIES UNITY_BUILD OFF)
    target_link_libraries(${name} PRIVATE ${library} Qt6::Test)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    # Qt Test names the build's absolute folders, for test data no test looks
    # up. Undone, so that a test or its precompiled header that ccache kept
    # from another clone is the same one and is taken.
    target_compile_options(${name} PRIVATE -UQT_TESTCASE_BUILDDIR -UQT_TESTCASE_SOURCEDIR)
    # The tests' own code is compiled without optimisation, which is much
    # faster; the program's code they test keeps the build type's.
    target_compile_options(${name} PRIVATE -O0)
    # Only where many tests share it: a precompiled header costs more to
    # build than it saves a test or three.
    if(library STREQUAL "serimo_app")
        serimo_share_precompiled_qt(${name} tests_of_${library} ${serimo_qt_widget_headers} <QTest>)
    elseif(library STREQUAL "serimo_core")
        serimo_share_precompiled_qt(${name} tests_of_${library} ${serimo_qt_core_headers} <QTest>)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS ${label} TIMEOUT 120 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    if(label STREQUAL "unit")
        if(NOT TARGET unit_tests)
            add_custom_target(unit_tests)
        endif()
        add_dependencies(unit_tests ${name})
    endif()
endfunction()
