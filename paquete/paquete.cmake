# Installed layout and the Debian package (`make paquete`).
# The launcher and the program find the manual as ../share/aqtide/Help.html from bin/, so the
# default bin/ and share/ folders are assumed.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
include(GNUInstallDirs)

set(_paq ${CMAKE_SOURCE_DIR}/paquete)
set(_gen ${CMAKE_BINARY_DIR}/paquete)
set(AQ_VERSION_DEBIAN ${PROJECT_VERSION}-1)
set(CPACK_PACKAGE_CONTACT "AQ-TIDE team <equipo@aqtide.invalid>")

install(TARGETS aqtide RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(_programa aqtide-sim aqtide-cli)
  if(TARGET ${_programa})
    install(TARGETS ${_programa} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# A stripped install (cpack) also drops the compiler's notes, as Debian's own packages do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(_p aqtide aqtide-sim aqtide-cli)
      set(_f \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${_p}\")
      if(EXISTS \"\${_f}\")
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment \"\${_f}\")
      endif()
    endforeach()
  endif()")
install(PROGRAMS ${_paq}/aqtide-lanzador DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/doc/Help.html DESTINATION ${CMAKE_INSTALL_DATADIR}/aqtide)
# The manual shows its screenshots from img/ beside it.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/doc/img DESTINATION ${CMAKE_INSTALL_DATADIR}/aqtide
        FILES_MATCHING PATTERN "*.png")
install(FILES ${_paq}/aqtide.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_paq}/aqtide.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${_paq}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${_paq}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME aqtide)

# Manual pages and the changelog go compressed as Debian wants them, with no file name or time
# stamp in the gzip header.
function(aq_comprimir entrada salida)
  configure_file(${entrada} ${_gen}/${salida} @ONLY)
  execute_process(COMMAND gzip -9n -c ${_gen}/${salida} OUTPUT_FILE ${_gen}/${salida}.gz
                  RESULT_VARIABLE _r)
  if(_r)
    message(FATAL_ERROR "gzip ${salida}: ${_r}")
  endif()
endfunction()
foreach(_pagina aqtide aqtide-lanzador aqtide-cli aqtide-sim)
  aq_comprimir(${_paq}/${_pagina}.1 ${_pagina}.1)
  install(FILES ${_gen}/${_pagina}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
string(TIMESTAMP AQ_FECHA_CHANGELOG "%a, %d %b %Y %H:%M:%S +0000" UTC)
aq_comprimir(${_paq}/changelog.in changelog.Debian)
install(FILES ${_gen}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Full RELRO, as Debian builds its packages.
foreach(_programa aqtide aqtide-sim aqtide-cli)
  if(TARGET ${_programa})
    set_property(TARGET ${_programa} APPEND PROPERTY LINK_OPTIONS -Wl,-z,relro,-z,now)
  endif()
endforeach()

# The package holds only the programs above: installing must not build every test first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME aqtide)
set(CPACK_PACKAGE_VENDOR "Brisna Ingeniería")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "supervisor for the AQ-TIDE water-level data logger")
# Lines are kept as written: at most 80 columns, none starting with a dot.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Desktop supervisor (Qt) for the AQ-TIDE 1.0 water-level data logger on a"
  "serial line: live status, mode switching, date, time and interval"
  "programming, memory download with checksum and raw backup, export to .csv"
  "or .txt, verified erase, backup expansion and a data file viewer. Includes"
  "a simulated logger (aqtide-sim) and a command-line tool (aqtide-cli)."
  ""
  "Supervisor de escritorio del limnígrafo-freatígrafo AQ-TIDE 1.0: estado del"
  "equipo, cambio de modo, programación de fecha, hora e intervalo, lectura de"
  "la memoria con respaldo, exportación a .csv o .txt, borrado verificado y"
  "visor de datos.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the window system plug-in, the SQLite
# driver of the default station archive, the SVG reader of the icon and Qt's Spanish texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6sql6-sqlite, libqt6svg6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
