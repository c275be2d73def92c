# The per-user installer (NSIS) and the portable zip, made from the built
# programs and Info.doc. The 32-bit build's files carry "-x86" in their names.

find_program(KESTRUM_MAKENSIS makensis)
if(NOT KESTRUM_MAKENSIS)
    message(FATAL_ERROR "makensis (NSIS) makes the installer: install it, or configure with -DKESTRUM_PACKAGES=OFF")
endif()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(KESTRUM_PACKAGE_SUFFIX "-x86")
    set(KESTRUM_NSIS_TARGET x86-unicode)
else()
    set(KESTRUM_PACKAGE_SUFFIX "")
    set(KESTRUM_NSIS_TARGET amd64-unicode)
endif()
set(KESTRUM_SETUP ${CMAKE_BINARY_DIR}/Kestrum-${PROJECT_VERSION}${KESTRUM_PACKAGE_SUFFIX}-setup.exe)
set(KESTRUM_ZIP ${CMAKE_BINARY_DIR}/Kestrum-${PROJECT_VERSION}${KESTRUM_PACKAGE_SUFFIX}-portable.zip)
# Info.doc is copied beside kestrum.exe when kestrum is built.

add_custom_command(
    OUTPUT ${KESTRUM_SETUP}
    COMMAND ${KESTRUM_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DBUILD=${CMAKE_BINARY_DIR}
            -DSOURCE=${CMAKE_SOURCE_DIR} -DOUTFILE=${KESTRUM_SETUP} -DTARGET=${KESTRUM_NSIS_TARGET}
            ${CMAKE_SOURCE_DIR}/installer/kestrum.nsi
    DEPENDS kestrum ip ${KESTRUM_GENERATED}/res/Info.doc ${CMAKE_SOURCE_DIR}/installer/kestrum.nsi
            ${CMAKE_SOURCE_DIR}/res/kestrum.ico
    COMMENT "Installer ${KESTRUM_SETUP}")

add_custom_command(
    OUTPUT ${KESTRUM_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${KESTRUM_ZIP}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${KESTRUM_ZIP} --format=zip kestrum.exe IP.EXE Info.doc
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS kestrum ip ${KESTRUM_GENERATED}/res/Info.doc
    COMMENT "Portable zip ${KESTRUM_ZIP}")

add_custom_target(packages ALL DEPENDS ${KESTRUM_SETUP} ${KESTRUM_ZIP})
