# Installs the game's component into a scratch prefix and checks every file a desktop needs.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
                        --component plonta
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "install failed: ${result}")
endif()
foreach(path ${BINDIR}/plonta ${MANDIR}/man6/plonta.6.gz ${DATADIR}/applications/${APP_ID}.desktop
             ${DATADIR}/metainfo/${APP_ID}.metainfo.xml
             ${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg)
    if(NOT EXISTS ${STAGE}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
