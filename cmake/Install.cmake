# Installation: the executables in their own folder under lib, a command that runs the program
# on its data folder, the menu entry with its polkit action, icons, AppStream metainfo and the
# manual page.
include(GNUInstallDirs)
set(VGX_INSTALL_PKGLIBDIR "lib/vigiax" CACHE STRING
    "Folder of the executables, relative to the install prefix")
set(VGX_DATA_DIR "${CMAKE_INSTALL_FULL_LOCALSTATEDIR}/lib/vigiax" CACHE PATH
    "Data folder of the installed program")
set(VGX_FULL_PKGLIBDIR ${CMAKE_INSTALL_PREFIX}/${VGX_INSTALL_PKGLIBDIR})
set(VGX_FULL_BINDIR ${CMAKE_INSTALL_FULL_BINDIR})

if(TARGET vigiax)
  install(TARGETS vigiax RUNTIME DESTINATION ${VGX_INSTALL_PKGLIBDIR})
endif()
# The service daemon, once it is part of the build.
if(TARGET vigiaxd)
  install(TARGETS vigiaxd RUNTIME DESTINATION ${VGX_INSTALL_PKGLIBDIR})
endif()

set(vgx_pkg ${PROJECT_SOURCE_DIR}/packaging)
set(vgx_out ${PROJECT_BINARY_DIR}/packaging)
set(vgx_metainfo invalid.vigiax.Vigiax.metainfo.xml)
foreach(file vigiax vigiax.desktop invalid.vigiax.policy ${vgx_metainfo})
  configure_file(${vgx_pkg}/${file}.in ${vgx_out}/${file} @ONLY)
endforeach()
install(PROGRAMS ${vgx_out}/vigiax DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${vgx_out}/vigiax.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${vgx_out}/invalid.vigiax.policy DESTINATION ${CMAKE_INSTALL_DATADIR}/polkit-1/actions)
install(FILES ${vgx_out}/${vgx_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# vigiax(8), from its scdoc source.
find_program(VGX_SCDOC scdoc)
if(VGX_SCDOC)
  set(vgx_man_source ${PROJECT_SOURCE_DIR}/docs/vigiax.8.scd)
  set(vgx_man_page ${PROJECT_BINARY_DIR}/man/vigiax.8)
  add_custom_command(OUTPUT ${vgx_man_page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${VGX_SCDOC} < ${vgx_man_source} > ${vgx_man_page}
    DEPENDS ${vgx_man_source}
    COMMENT "Manual page vigiax(8)"
    VERBATIM)
  add_custom_target(vgx_man_page ALL DEPENDS ${vgx_man_page})
  install(FILES ${vgx_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)
else()
  message(STATUS "scdoc not found: the manual page is not built")
endif()
