# The test programs under Wine, for CTest (included by windows.cmake). Each test runs
# in its own process through scripts/wine-tests.sh, in the prefix and on the display
# of its group; the tests of a group run one at a time, the groups side by side.
# Fixtures start what they need: the group's prefix and display, the STUN server,
# the silent address, the home router in its namespaces.
#
#   ctest --preset win64 -L e2e          ctest --preset win64 -R Router

include(GoogleTest)
set(KESTRUM_WINE_TESTS ${CMAKE_SOURCE_DIR}/scripts/wine-tests.sh)
set(KESTRUM_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
set(wine_tests bash ${KESTRUM_WINE_TESTS} ${KESTRUM_WINE_STATE})
foreach(program kestrum_unit_tests kestrum_win_tests kestrum_e2e)
    set_property(TARGET ${program} PROPERTY CROSSCOMPILING_EMULATOR ${wine_tests} run)
endforeach()

# A fixture NAME: its setup and cleanup tests run the script with SETUP and CLEANUP.
function(kestrum_fixture name)
    cmake_parse_arguments(arg "" "" "SETUP;CLEANUP;LABELS" ${ARGN})
    add_test(NAME ${name}/setup COMMAND ${wine_tests} ${arg_SETUP})
    add_test(NAME ${name}/cleanup COMMAND ${wine_tests} ${arg_CLEANUP})
    set_tests_properties(${name}/setup PROPERTIES FIXTURES_SETUP ${name} TIMEOUT 180 LABELS "fixture;${arg_LABELS}")
    set_tests_properties(${name}/cleanup PROPERTIES FIXTURES_CLEANUP ${name} TIMEOUT 60 LABELS "fixture;${arg_LABELS}")
endfunction()

kestrum_fixture(stun SETUP stun up CLEANUP stun down)
kestrum_fixture(silent SETUP silent up CLEANUP silent down)
foreach(mode none public shared)
    kestrum_fixture(home-router-${mode} SETUP router ${mode} up CLEANUP router ${mode} down)
endforeach()

set(display 90)
# A group: a prefix of its own whose screen has DPI, on a display of its own. Its fixture
# carries the labels of its tests: a label that selects them runs its cleanup too, which
# fails when none of them ran.
function(kestrum_wine_group group dpi)
    kestrum_fixture(${group} SETUP up ${group} ${dpi} ${display} CLEANUP down ${group} LABELS ${ARGN})
    math(EXPR next "${display} + 1")
    set(display ${next} PARENT_SCOPE)
endfunction()

# The tests of PROGRAM matching FILTER, in GROUP, one at a time, named GROUP/Suite.Test.
# Their properties are set once CTest has listed them: lists among the properties of
# gtest_discover_tests lose their semicolons on the way.
function(kestrum_wine_tests group program filter)
    cmake_parse_arguments(arg "" "TIMEOUT" "LABELS;FIXTURES;ENVIRONMENT" ${ARGN})
    string(MAKE_C_IDENTIFIER "${group}_${program}" list)
    gtest_discover_tests(${program}
        TEST_PREFIX ${group}/
        TEST_FILTER ${filter}
        TEST_LIST ${list}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120)
    set(properties ${CMAKE_CURRENT_BINARY_DIR}/${list}_properties.cmake)
    file(WRITE ${properties} "if(${list})
    set_tests_properties(\${${list}} PROPERTIES TIMEOUT ${arg_TIMEOUT} RESOURCE_LOCK ${group}
        LABELS \"${arg_LABELS}\" FIXTURES_REQUIRED \"${group};${arg_FIXTURES}\"
        ENVIRONMENT \"KESTRUM_WINE_GROUP=${group};${arg_ENVIRONMENT}\")
endif()
")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${properties})
endfunction()

kestrum_wine_group(unit 96 unit)
kestrum_wine_tests(unit kestrum_unit_tests * LABELS unit TIMEOUT 60)
kestrum_wine_group(win 96 win)
kestrum_wine_tests(win kestrum_win_tests -Router* LABELS win TIMEOUT 120 FIXTURES stun silent
    ENVIRONMENT KESTRUM_STUN=127.0.0.1:3478 KESTRUM_SILENT_ADDRESS=10.99.0.2 KESTRUM_SILENT_ADDRESS6=2001:db8:99::2)
kestrum_wine_group(e2e 96 e2e)
kestrum_wine_tests(e2e kestrum_e2e -RouterCheck.* LABELS e2e TIMEOUT 240)
# The windows again on screens of 150% and 200%.
foreach(dpi 144 192)
    kestrum_wine_group(dpi${dpi} ${dpi} e2e dpi)
    kestrum_wine_tests(dpi${dpi} kestrum_e2e Dpi* LABELS e2e dpi TIMEOUT 180)
endforeach()
# The router adapter, then the program's Connection Check, behind a gateway that does
# not speak UPnP, a real router daemon, and one whose own outside address is a
# provider's shared one.
set(none_tests Router.WithoutADaemon* RouterCheck.WithoutARouter*)
set(public_tests Router.APortMapping* RouterCheck.ThePortOpened*)
set(shared_tests Router.APortMapping* Router.AnIpv6Pinhole* RouterCheck.BehindAShared*)
foreach(mode none public shared)
    kestrum_wine_group(router-${mode} 96 win router)
    list(JOIN ${mode}_tests : filter)
    set(router FIXTURES home-router-${mode} ENVIRONMENT KESTRUM_WINE_ENV=${KESTRUM_WINE_STATE}/router-${mode}.env)
    kestrum_wine_tests(router-${mode} kestrum_win_tests ${filter} LABELS win router TIMEOUT 120 ${router})
    kestrum_wine_tests(router-${mode} kestrum_e2e ${filter} LABELS e2e router TIMEOUT 240 ${router})
endforeach()
