# Helpers shared by the subsystem CMakeLists.

# fovea_sources(CORE a.cpp ... WIN32 b.cpp ...): CORE builds everywhere, WIN32 only into the program.
function(fovea_sources)
    cmake_parse_arguments(ARG "" "" "CORE;WIN32" ${ARGN})
    foreach(src ${ARG_CORE})
        target_sources(fovea_core PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${src})
    endforeach()
    if(WIN32 AND NOT FOVEA_FUZZ)
        foreach(src ${ARG_WIN32})
            target_sources(fovea_win PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${src})
        endforeach()
    endif()
endfunction()

# fovea_test(NAME sources... [POINTER] [TIMEOUT s] [LIBS libs...]): one GoogleTest executable and one ctest
# entry; POINTER marks a test that moves the mouse pointer, or reads the screen, and so runs alone: another test's
# window coming up under the pointer would take its drops, presses and focus.
# On Win32 ctest runs it through Wine (the cross-compiling emulator); every test writes an XML report
# that the test command sums up.
function(fovea_test name)
    cmake_parse_arguments(ARG "POINTER" "TIMEOUT" "LIBS" ${ARGN})
    if(FOVEA_FUZZ OR FOVEA_BENCH)
        return()
    endif()
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gmock gtest_main)
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    # Under Wine the Unix root is drive Z:; a path without a drive would be taken as relative.
    set(results ${CMAKE_BINARY_DIR}/results)
    if(WIN32)
        set(results Z:${results})
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${results}/${name}.xml
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    # Tests of the one mouse pointer, focus and screen of the display run alone: a pointer moved or a window
    # raised by another test would break their drags, presses and pictures.
    if(ARG_POINTER)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
    endif()
endfunction()

# fovea_fuzz(NAME sources... [LIBS libs...]): a libFuzzer target (fuzz tree only).
function(fovea_fuzz name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    if(FOVEA_FUZZ)
        add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
        target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    endif()
endfunction()

# fovea_bench(NAME sources... [LIBS libs...]): a plain benchmark program (bench tree only).
function(fovea_bench name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    if(FOVEA_BENCH)
        add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
        target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    endif()
endfunction()

# What ships carries no debug information inside: under Wine, fovea.exe with its debug sections (7.8 MB against
# 0.7 MB) took about 50 ms longer to start. The information goes to FOVEA_DEBUG_DIR as NAME.dbg, out of the
# program's folder; the link left in the file names it (gdb: set debug-file-directory to that folder).
function(fovea_split_debug_info target)
    if(CMAKE_OBJCOPY AND CMAKE_BUILD_TYPE MATCHES "Deb")
        set(dbg ${FOVEA_DEBUG_DIR}/$<TARGET_FILE_NAME:${target}>.dbg)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E make_directory ${FOVEA_DEBUG_DIR}
            COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${dbg}
            COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${dbg} $<TARGET_FILE:${target}>
            VERBATIM)
    endif()
endfunction()

# fovea_ship(target): a file of the program's folder (fovea.exe or a plug-in): built into FOVEA_PROGRAM_DIR
# without its debug information, and part of the folder's zip. A plug-in is copied beside the test programs as
# well: the tests that start the program in their own process find the plug-ins beside themselves, as the
# program does.
function(fovea_ship target)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FOVEA_PROGRAM_DIR})
    fovea_split_debug_info(${target})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E make_directory ${FOVEA_TEST_DIR}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${FOVEA_TEST_DIR}
            VERBATIM)
    endif()
    set_property(GLOBAL APPEND PROPERTY FOVEA_SHIPPED ${target})
endfunction()

# fovea_zip_program(zip): the files of every fovea_ship target, at the top of the zip; remade when one changes.
# Programs and libraries in the program's folder that no longer ship (left by an older layout of the build) are
# removed first, so that the folder holds what the zip holds.
function(fovea_zip_program zip)
    get_property(shipped GLOBAL PROPERTY FOVEA_SHIPPED)
    set(names)
    foreach(target ${shipped})
        list(APPEND names $<TARGET_FILE_NAME:${target}>)
    endforeach()
    set(list ${CMAKE_BINARY_DIR}/shipped-files.txt)
    file(GENERATE OUTPUT ${list} CONTENT "${names}")
    add_custom_command(OUTPUT ${zip}
        COMMAND ${CMAKE_COMMAND} -DFOLDER=${FOVEA_PROGRAM_DIR} -DSHIPPED=${list}
                -P ${CMAKE_SOURCE_DIR}/cmake/PruneProgramFolder.cmake
        COMMAND ${CMAKE_COMMAND} -E rm -f ${zip}
        COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${names}
        WORKING_DIRECTORY ${FOVEA_PROGRAM_DIR}
        DEPENDS ${shipped} ${list} ${CMAKE_SOURCE_DIR}/cmake/PruneProgramFolder.cmake
        COMMENT "Zipping the program's folder"
        VERBATIM)
    add_custom_target(fovea_zip ALL DEPENDS ${zip})
endfunction()
