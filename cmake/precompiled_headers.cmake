# Qt's headers are most of what a Qt source costs to compile. They are
# compiled once into a header that the Qt libraries and programs share (their
# flags match, as GCC requires); every large test program compiles its own,
# with the test frameworks, since Qt's test headers depend on a definition
# that names the program's folder.
option(CARDSUITE_PCH "Precompile Qt's and the test frameworks' headers" ON)

# Only carries the shared header: nothing links its object.
function(cardsuite_shared_qt_pch)
    if(NOT CARDSUITE_PCH OR NOT CARDSUITE_GUI)
        return()
    endif()
    add_library(qt_pch OBJECT ${PROJECT_SOURCE_DIR}/cmake/pch/anchor.cpp)
    target_link_libraries(qt_pch PRIVATE Qt6::Widgets)
    target_precompile_headers(qt_pch PRIVATE ${PROJECT_SOURCE_DIR}/cmake/pch/qt.h)
endfunction()

# Targets that link Qt's widgets take the shared header.
function(cardsuite_use_qt_pch)
    if(NOT TARGET qt_pch)
        return()
    endif()
    foreach(target ${ARGN})
        target_precompile_headers(${target} REUSE_FROM qt_pch)
    endforeach()
endfunction()

# A test program of many sources gets its own header: HEADER is qt_tests.h
# for the Qt test programs, gtest.h for the others.
function(cardsuite_test_pch target header)
    if(CARDSUITE_PCH)
        target_precompile_headers(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/pch/${header})
    endif()
endfunction()
