# The Windows build (MinGW-w64): the platform adapters, the two programs with their
# resources and packages, and the tests that run under Wine. Included by
# CMakeLists.txt after the portable core.

add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00 WINVER=0x0A00)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # SSE2 arithmetic: the x87 unit's extended precision would change results.
    add_compile_options(-msse2 -mfpmath=sse)
    set(KESTRUM_HARDENING -Wl,--dynamicbase -Wl,--nxcompat)
else()
    set(KESTRUM_HARDENING -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)
endif()
# Statically linked: nothing beside the exe but the DLLs every Windows has.
add_link_options(-static -static-libgcc -static-libstdc++ ${KESTRUM_HARDENING} $<$<CONFIG:Release>:-s>)

file(GLOB KESTRUM_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
list(FILTER KESTRUM_WIN32_SOURCES EXCLUDE REGEX "(load_config|delay_load)\\.cpp$")
add_library(kestrum_win32 STATIC ${KESTRUM_WIN32_SOURCES})
target_compile_options(kestrum_win32 PRIVATE ${KESTRUM_WARNINGS})
target_link_libraries(kestrum_win32 PUBLIC kestrum_core ws2_32 wininet iphlpapi shell32 ole32 oleaut32 uuid)

# The resources read the version and the manifests from the build's generated folder.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${KESTRUM_GENERATED} -I${CMAKE_SOURCE_DIR} -c65001")
enable_language(RC)
foreach(manifest kestrum ip)
    configure_file(res/${manifest}.manifest.in ${KESTRUM_GENERATED}/res/${manifest}.manifest @ONLY)
endforeach()
# The How-To document and Info.doc open with the title, in capitals in the How-To window.
foreach(document howto.rtf Info.doc)
    configure_file(res/${document}.in ${KESTRUM_GENERATED}/res/${document} @ONLY)
endforeach()

function(kestrum_version_resource target description filename)
    set(FILE_DESCRIPTION "${description}")
    set(INTERNAL_NAME "${target}")
    set(ORIGINAL_FILENAME "${filename}")
    configure_file(${CMAKE_SOURCE_DIR}/res/version.rc.in ${KESTRUM_GENERATED}/${target}_version.rc @ONLY)
    target_sources(${target} PRIVATE ${KESTRUM_GENERATED}/${target}_version.rc)
endfunction()

# Each program's load configuration keeps the DLLs it imports to the system folder.
function(kestrum_load_config target)
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/platform/win32/load_config.cpp)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/pe-load-config.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}>)
endfunction()

add_executable(kestrum WIN32 programs/kestrum_main.cpp res/kestrum.rc)
kestrum_load_config(kestrum)
target_compile_options(kestrum PRIVATE ${KESTRUM_WARNINGS})
target_link_libraries(kestrum PRIVATE kestrum_win32)
target_link_options(kestrum PRIVATE -municode)
# The first frame needs none of the network, shell and COM libraries, and loading
# them before the program starts costs Wine a good part of the window's start: they
# are delay-loaded, on the first call into each. The loader then searches the
# system folder only, as it does for every other DLL after wWinMain's first lines.
# 64-bit only: the 32-bit import names carry decorations these lists leave out.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(delayed)
    foreach(lib ws2_32 wininet iphlpapi shell32 ole32 oleaut32)
        find_library(import_${lib} NAMES lib${lib}.a REQUIRED)
        execute_process(COMMAND ${CMAKE_DLLTOOL} --identify ${import_${lib}}
            OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${import_${lib}}
            OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX MATCHALL "__imp_[A-Za-z0-9_]+" symbols "${symbols}")
        list(TRANSFORM symbols REPLACE "^__imp_" "")
        list(REMOVE_DUPLICATES symbols)
        list(JOIN symbols "\n" exports)
        set(def ${CMAKE_BINARY_DIR}/delay/${lib}.def)
        file(WRITE ${def} "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
        set(delaylib ${CMAKE_BINARY_DIR}/delay/lib${lib}_delay.a)
        add_custom_command(OUTPUT ${delaylib} DEPENDS ${def}
            COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll} --output-delaylib ${delaylib})
        list(APPEND delayed ${delaylib})
    endforeach()
    add_custom_target(delay_libs DEPENDS ${delayed})
    add_dependencies(kestrum delay_libs)
    # Right after the adapters, so that their calls bind here and not to the plain imports.
    target_link_libraries(kestrum PRIVATE ${delayed} delayimp)
    # The helper that fills the slots of delay-loaded functions, which lie among the
    # read-only import tables of newer linkers: wrapped to open each slot for its write.
    target_sources(kestrum PRIVATE platform/win32/delay_load.cpp)
    target_link_options(kestrum PRIVATE -Wl,--wrap=__delayLoadHelper2)
endif()
kestrum_version_resource(kestrum "Kestrum" "kestrum.exe")
# The resource compiler does not see what the .rc pulls in.
set_source_files_properties(res/kestrum.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/kestrum.ico;${KESTRUM_GENERATED}/res/howto.rtf;${CMAKE_SOURCE_DIR}/res/hand.cur;${KESTRUM_GENERATED}/res/kestrum.manifest")
set_source_files_properties(res/ip.rc PROPERTIES OBJECT_DEPENDS ${KESTRUM_GENERATED}/res/ip.manifest)
# The companion document that the How-To window opens lies beside the program.
add_custom_command(TARGET kestrum POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy_if_different
    ${KESTRUM_GENERATED}/res/Info.doc $<TARGET_FILE_DIR:kestrum>/Info.doc)

# IP.EXE: learns the public address and leaves it in the settings store.
add_executable(ip WIN32 programs/ip_main.cpp res/ip.rc)
set_target_properties(ip PROPERTIES OUTPUT_NAME IP SUFFIX .EXE)
kestrum_load_config(ip)
target_compile_options(ip PRIVATE ${KESTRUM_WARNINGS})
target_link_libraries(ip PRIVATE kestrum_win32)
target_link_options(ip PRIVATE -municode)
kestrum_version_resource(ip "Kestrum public address finder" "IP.EXE")

if(KESTRUM_PACKAGES)
    include(cmake/packaging.cmake)
endif()
if(NOT KESTRUM_TESTS)
    return()
endif()

# GoogleTest from its sources, built with this toolchain.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${KESTRUM_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Test servers of our own on loopback, for the tests under Wine.
file(GLOB KESTRUM_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS tests/support/*.cpp)
add_library(kestrum_test_support STATIC ${KESTRUM_TEST_SUPPORT_SOURCES})
target_compile_options(kestrum_test_support PRIVATE ${KESTRUM_WARNINGS})
target_link_libraries(kestrum_test_support PUBLIC kestrum_core ws2_32 wininet)

# Stand-ins for the programs Kestrum starts, for the tests under Wine.
add_executable(mstsc_double tests/doubles/stand_in.cpp)
set_target_properties(mstsc_double PROPERTIES OUTPUT_NAME mstsc RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/doubles)
target_link_options(mstsc_double PRIVATE -municode)
add_executable(explorer_double tests/doubles/stand_in.cpp)
set_target_properties(explorer_double PROPERTIES OUTPUT_NAME explorer
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/doubles)
target_link_options(explorer_double PRIVATE -municode)
add_executable(msinfo32_double tests/doubles/stand_in.cpp)
set_target_properties(msinfo32_double PROPERTIES OUTPUT_NAME MSINFO32 SUFFIX .EXE
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/doubles)
target_link_options(msinfo32_double PRIVATE -municode)
add_executable(hanging_ip_double tests/doubles/hanging_ip.cpp)
set_target_properties(hanging_ip_double PROPERTIES OUTPUT_NAME IP SUFFIX .EXE
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/doubles/hanging)
target_link_options(hanging_ip_double PRIVATE -municode)
# A DLL planted beside a copy of kestrum.exe under the names of those it loads.
add_library(planted_dll SHARED tests/doubles/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES OUTPUT_NAME planted PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/doubles)

# Start-up timing under Wine: kestrum.exe against the smallest window program.
add_executable(minimal_window WIN32 EXCLUDE_FROM_ALL bench/minimal_window.cpp)
target_link_options(minimal_window PRIVATE -municode)
add_executable(startup_time EXCLUDE_FROM_ALL bench/startup_time.cpp bench/screen_frames.cpp)
target_link_libraries(startup_time PRIVATE kestrum_core)
target_link_options(startup_time PRIVATE -municode)
add_dependencies(startup_time kestrum minimal_window)
# The Connection Check's work against the test routers: bench/reach_time.sh.
add_executable(reach_time EXCLUDE_FROM_ALL bench/reach_time.cpp)
target_link_libraries(reach_time PRIVATE kestrum_win32)

# The unit tests again, for Windows; and the tests of the adapters and of the
# whole program under Wine.
add_executable(kestrum_unit_tests ${KESTRUM_UNIT_TEST_SOURCES})
target_compile_options(kestrum_unit_tests PRIVATE ${KESTRUM_WARNINGS})
target_link_libraries(kestrum_unit_tests PRIVATE kestrum_core gtest gtest_main)

file(GLOB KESTRUM_WIN_TEST_SOURCES CONFIGURE_DEPENDS tests/win/*.cpp)
add_executable(kestrum_win_tests ${KESTRUM_WIN_TEST_SOURCES} res/kestrum.rc)
target_compile_options(kestrum_win_tests PRIVATE ${KESTRUM_WARNINGS})
target_link_libraries(kestrum_win_tests PRIVATE kestrum_win32 kestrum_test_support gtest gtest_main)
add_dependencies(kestrum_win_tests kestrum ip mstsc_double msinfo32_double)

file(GLOB KESTRUM_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
if(NOT KESTRUM_PACKAGES)
    # Without the packages there is no installer to test, and no need of makensis.
    list(FILTER KESTRUM_E2E_SOURCES EXCLUDE REGEX "installer_test\\.cpp$")
endif()
# The per-monitor dpi-aware manifest of kestrum.exe: Wine then gives the driver the
# screen's own coordinates, as it does the program.
add_executable(kestrum_e2e ${KESTRUM_E2E_SOURCES} res/kestrum.rc)
target_compile_options(kestrum_e2e PRIVATE ${KESTRUM_WARNINGS})
target_link_libraries(kestrum_e2e PRIVATE kestrum_win32 kestrum_test_support gtest gtest_main)
add_dependencies(kestrum_e2e kestrum ip hanging_ip_double planted_dll mstsc_double explorer_double)
if(KESTRUM_PACKAGES)
    add_dependencies(kestrum_e2e packages)
endif()

include(cmake/wine_tests.cmake)
