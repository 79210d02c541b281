# Precompiled headers: the Qt headers that nearly every file includes are
# compiled once for a library, and once for all the tests that share their
# compiler flags, rather than once for each file. And what ccache needs to
# find, in a fresh clone, what an earlier one compiled.
set(serimo_qt_core_headers <QByteArray> <QList> <QObject> <QString> <QStringList>)
set(serimo_qt_widget_headers ${serimo_qt_core_headers} <QWidget>)

# With GCC only: clang's precompiled header records when each header was
# changed, so one that ccache kept from another clone would be refused.
set(serimo_pch OFF)
if(SERIMO_PCH AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(serimo_pch ON)
endif()

if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
    # Qt Test gives each test the absolute paths of its folders, for test
    # data the tests do not look up (serimo_test undoes them); left out of
    # ccache's key, so that a
    # fresh clone finds the tests an earlier one compiled.
    set(ccache_settings "CCACHE_IGNOREOPTIONS=-DQT_TESTCASE_BUILDDIR=* -DQT_TESTCASE_SOURCEDIR=*")
    if(serimo_pch)
        # ccache takes a file compiled with a precompiled header only when
        # told to ignore the header's macros and time stamps, and when GCC's
        # preprocessed output names the header.
        list(APPEND ccache_settings CCACHE_SLOPPINESS=pch_defines,time_macros)
        add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fpch-preprocess>)
    endif()
    set(CMAKE_CXX_COMPILER_LAUNCHER env ${ccache_settings} ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

# serimo_precompile_qt(target headers...)
function(serimo_precompile_qt target)
    if(serimo_pch)
        target_precompile_headers(${target} PRIVATE ${ARGN})
    endif()
endfunction()

# serimo_share_precompiled_qt(target group headers...): the first target of
# a group builds the header, the others use it; the targets of a group must
# be compiled with the same flags.
function(serimo_share_precompiled_qt target group)
    if(NOT serimo_pch)
        return()
    endif()
    get_property(owner GLOBAL PROPERTY serimo_pch_${group})
    if(owner)
        target_precompile_headers(${target} REUSE_FROM ${owner})
    else()
        target_precompile_headers(${target} PRIVATE ${ARGN})
        set_property(GLOBAL PROPERTY serimo_pch_${group} ${target})
    endif()
endfunction()
