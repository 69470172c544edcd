# `make install` (cmake --install): the programs, the Qt backend module, the
# help, a desktop entry and an icon for each edition, and the manual pages.
# Everything lies relative to the prefix as cmake/Tessaly.cmake sets out.

install(TARGETS tessaly tessbook devicectl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TESSALY_WITH_QT)
  install(TARGETS tessaly-qt LIBRARY DESTINATION ${TESSALY_INSTALL_MODULEDIR})
endif()
install(FILES resources/help/tessaly.htm DESTINATION ${TESSALY_INSTALL_HELPDIR})

install(FILES resources/desktop/tessaly.desktop resources/desktop/tessbook.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Both editions show icon 101, the picture their windows show.
foreach(size ${PROGRAM_ICON_SIZES})
  foreach(edition tessaly tessbook)
    install(FILES resources/icons/101_program_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${edition}.png)
  endforeach()
endforeach()

install(FILES resources/man/tessaly.1 resources/man/tessbook.1 resources/man/devicectl.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
