# Installs the game's component into a scratch prefix, as the README's recipe does after
# building only the program's target, and checks every file a desktop needs.
file(REMOVE_RECURSE ${STAGE})
file(REMOVE ${GENERATED} ${BUILD_DIR}/packaging/changelog.gz)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target plonta
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "building the program's target failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
                        --component plonta
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "install failed: ${result}")
endif()
foreach(path ${BINDIR}/plonta ${BINDIR}/plonta-sim ${MANDIR}/man6/plonta.6.gz
             ${MANDIR}/man6/plonta-sim.6.gz ${DATADIR}/applications/${APP_ID}.desktop
             ${DATADIR}/metainfo/${APP_ID}.metainfo.xml
             ${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg)
    if(NOT EXISTS ${STAGE}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
