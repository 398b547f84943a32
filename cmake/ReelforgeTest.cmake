# reelforge_add_test(NAME [SESSION_BUS] SOURCES <files...> LIBS <targets...>)
# One test program per class or feature, run offscreen, in a fixed locale, with its
# configuration folder inside the build tree so no test touches the user's real files.
# SESSION_BUS runs it under a private session bus of its own, never the user's.
find_program(DBUS_RUN_SESSION dbus-run-session)
function(reelforge_add_test name)
    cmake_parse_arguments(ARG "SESSION_BUS" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE reelforge_testsupport Qt6::Test ${ARG_LIBS})
    # Tests read the shipped data files from beside their binary.
    add_dependencies(${name} reelforge_data)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    if(ARG_SESSION_BUS)
        if(NOT DBUS_RUN_SESSION)
            message(FATAL_ERROR "${name} needs dbus-run-session (Debian package dbus-daemon)")
        endif()
        add_test(NAME ${name} COMMAND ${DBUS_RUN_SESSION} -- $<TARGET_FILE:${name}>)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set(home ${CMAKE_BINARY_DIR}/test-home/${name})
    file(MAKE_DIRECTORY ${home}/run)
    file(CHMOD ${home}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8;HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share;XDG_STATE_HOME=${home}/.local/state;XDG_CACHE_HOME=${home}/.cache;XDG_RUNTIME_DIR=${home}/run")
endfunction()
