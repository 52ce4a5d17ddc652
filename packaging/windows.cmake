# The Windows download: one ZIP with plonta.exe and a short readme, made by `cpack -G ZIP`.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Plonta)
set(CPACK_PACKAGE_VENDOR "Plonta")
set(CPACK_PACKAGE_FILE_NAME "plonta-${PROJECT_VERSION}-windows-x64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENTS_ALL plonta)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

# The installer, plonta-VERSION-setup.exe, from the hand-written packaging/plonta.nsi:
# `cmake --build build/windows --target plonta_setup`.
find_program(PLONTA_MAKENSIS makensis)
if(PLONTA_MAKENSIS)
    get_directory_property(publisher DIRECTORY shell/win32 DEFINITION PLONTA_PUBLISHER)
    get_directory_property(icon DIRECTORY shell/win32 DEFINITION PLONTA_ICON)
    set(setup ${CPACK_PACKAGE_DIRECTORY}/plonta-${PROJECT_VERSION}-setup.exe)
    set(nsi ${PROJECT_SOURCE_DIR}/packaging/plonta.nsi)
    set(readme ${PROJECT_SOURCE_DIR}/packaging/windows-readme.txt)
    add_custom_command(OUTPUT ${setup}
                       COMMAND ${PLONTA_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION}
                               "-DPUBLISHER=${publisher}" -DEXE=$<TARGET_FILE:plonta>
                               -DREADME=${readme} -DICON=${icon} -DOUTFILE=${setup} ${nsi}
                       DEPENDS plonta ${nsi} ${readme} ${icon} VERBATIM
                       COMMENT "Making the installer plonta-${PROJECT_VERSION}-setup.exe")
    add_custom_target(plonta_setup DEPENDS ${setup})
endif()
