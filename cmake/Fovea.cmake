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
# 0.7 MB) took about 50 ms longer to start. The information goes beside the file as NAME.dbg, which debuggers
# find through the link left in the file.
function(fovea_split_debug_info target)
    if(CMAKE_OBJCOPY AND CMAKE_BUILD_TYPE MATCHES "Deb")
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.dbg
            COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${target}>.dbg
                    $<TARGET_FILE:${target}>
            VERBATIM)
    endif()
endfunction()
