# The Debian package of the Linux program, made by `cpack -G DEB` from a build configured by
# scripts/package.sh: the game in /usr/games, its launcher, icon, metadata, manual page,
# copyright and changelog. Only the game's own install component goes in. The server's package,
# plonta-server, comes from a second configuration: `cpack --config CPackServerConfig.cmake`.
set(PLONTA_PACKAGE_MAINTAINER "The Plonta developers <developers@plonta.org>"
    CACHE STRING "Maintainer field of the Debian package")

# Debian wants the changelog and the manual page compressed, without timestamps.
find_program(PLONTA_GZIP gzip)
if(PLONTA_GZIP)
    set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
    add_custom_command(OUTPUT ${changelog}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
                       COMMAND ${PLONTA_GZIP} -9nc ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
                               > ${changelog}
                       DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog VERBATIM)
    add_custom_target(plonta_changelog ALL DEPENDS ${changelog})
    # Installing the program installs the changelog: building one builds the other.
    add_dependencies(plonta plonta_changelog)
    install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/plonta COMPONENT plonta)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/plonta
        COMPONENT plonta)
if(PLONTA_SERVER_BUILT)
    if(PLONTA_GZIP)
        add_dependencies(plonta-server plonta_changelog)
        install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/plonta-server
                COMPONENT server EXCLUDE_FROM_ALL)
    endif()
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/plonta-server COMPONENT server EXCLUDE_FROM_ALL)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plonta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catch falling tiles and drop them into lines of one colour")
# CPack puts the summary first; this is the extended description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Coloured tiles ride a five-lane conveyor toward you. Catch them on your
paddle, carry up to three, and drop them into the five-by-five bin below.
Three, four or five tiles of one colour in a line vanish and score; chains
score more. Seven levels each set their own goal. Games can be recorded and
replayed exactly. All texts in the game are German.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PLONTA_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-comic-neue)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The game's component alone, as one package named plain plonta.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};plonta;/")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

# The server's package: the game's settings, with the server's component, fields and the
# maintainer scripts that dh_installsystemd would write.
if(PLONTA_SERVER_BUILT)
set(server_scripts ${PROJECT_SOURCE_DIR}/packaging/debian/server)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/CPackServerConfig.cmake @ONLY CONTENT [=[
include(@CMAKE_BINARY_DIR@/CPackConfig.cmake)
set(CPACK_PACKAGE_NAME plonta-server)
set(CPACK_PACKAGE_FILE_NAME plonta-server-@PROJECT_VERSION@-Linux)
set(CPACK_INSTALL_CMAKE_PROJECTS "@CMAKE_BINARY_DIR@;@PROJECT_NAME@;server;/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "score server for Plonta that replays every game it ranks")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "plonta-server keeps a table of best Plonta games online. It accepts
recorded games over HTTP, never scores: it replays each with the game's own
rules and ranks what the moves really make, in SQLite or PostgreSQL. The
service starts on install, listening on 127.0.0.1:8090 only, as a dynamic
user with its table in /var/lib/plonta-server.")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SOURCE plonta)
unset(CPACK_DEBIAN_PACKAGE_RECOMMENDS)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "init-system-helpers (>= 1.54~)")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "@server_scripts@/postinst;@server_scripts@/prerm;@server_scripts@/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
]=])
endif()
