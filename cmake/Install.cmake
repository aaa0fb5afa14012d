# What `cmake --install <build> --prefix P` installs, by GNUInstallDirs (the Debian package of
# cmake/Package.cmake installs the same with P = /usr):
#   P/bin                 tr58link, tr58, tr58sim, cablewatch, snapstart, kterm
#   P/lib                 libkestrune, libterminal and libKSMON with their SONAME links, the CMake
#                         package TR58Terminal (find_package) and the pkg-config files
#   P/include/tr58        the libraries' C headers
#   P/share/tr58link      the programs' data folder (branding, help files, logo picture)
#   P/share/...           the desktop's files: launchers, MIME type, icons, AppStream metainfo,
#                         manual pages, bash completion
# tests/install checks the result in a temporary prefix.

# The programs find their data folder at ../share/tr58link from their own (kDataFolderFromPrograms
# in src/base/ProgramDataFolder.h): the install folders must keep that relation.
set(TR58_INSTALL_DATA_FOLDER ${CMAKE_INSTALL_DATADIR}/tr58link)
file(RELATIVE_PATH data_from_programs ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/tr58link)
if(NOT data_from_programs STREQUAL "../share/tr58link")
  message(FATAL_ERROR "The programs look for their data in ../share/tr58link beside their own "
                      "folder; CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DATADIR put it at "
                      "${data_from_programs}.")
endif()

foreach(program tr58link tr58 tr58sim cablewatch snapstart kterm)
  if(NOT TARGET ${program})
    message(FATAL_ERROR "The program ${program} has no target to install.")
  endif()
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

# The C libraries, for the programs and for other programs that use terminal and KSMON. terminal
# and KSMON find kestrune beside them.
if(CMAKE_INSTALL_RPATH)
  set_target_properties(kestrune terminal ksmon PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()
set_target_properties(ksmon PROPERTIES EXPORT_NAME KSMON)
install(TARGETS kestrune terminal ksmon EXPORT TR58TerminalTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${TR58_INSTALL_C_INCLUDEDIR})

# find_package(TR58Terminal) gives the imported targets TR58::kestrune, TR58::terminal and
# TR58::KSMON.
include(CMakePackageConfigHelpers)
set(cmake_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/TR58Terminal)
install(EXPORT TR58TerminalTargets NAMESPACE TR58:: DESTINATION ${cmake_package_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TR58TerminalConfig.cmake.in
  ${CMAKE_BINARY_DIR}/cmake/TR58TerminalConfig.cmake INSTALL_DESTINATION ${cmake_package_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/cmake/TR58TerminalConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/cmake/TR58TerminalConfig.cmake
              ${CMAKE_BINARY_DIR}/cmake/TR58TerminalConfigVersion.cmake
        DESTINATION ${cmake_package_dir})

# pkg-config: kestrune, terminal and KSMON. The files find the prefix from their own folder
# (${pcfiledir}), so an installed tree can be moved and a package's staging folder leaves no trace.
set(pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH PC_PREFIX_FROM_PCFILEDIR ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" PC_PREFIX_FROM_PCFILEDIR "${PC_PREFIX_FROM_PCFILEDIR}")
foreach(pc kestrune terminal KSMON)
  if(pc STREQUAL "kestrune")
    set(PC_DESCRIPTION "TR58 core serial library: numbered ports over a tty device or a loopback")
    set(PC_REQUIRES "")
  elseif(pc STREQUAL "terminal")
    set(PC_DESCRIPTION "ANSI, VT52 and TTY terminal emulation over kestrune ports")
    set(PC_REQUIRES "kestrune")
  else()
    set(PC_DESCRIPTION "Port monitor: a text trace of the traffic of kestrune ports")
    set(PC_REQUIRES "kestrune")
  endif()
  set(PC_NAME ${pc})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/library.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc
                 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc DESTINATION ${pkgconfig_dir})
endforeach()

# The data folder. The built-in manual is in the program; what an administrator may add here
# (a branding file, help files, a logo picture) the README says.
install(FILES ${CMAKE_SOURCE_DIR}/data/tr58link/README DESTINATION ${TR58_INSTALL_DATA_FOLDER})

# The desktop: launchers, the .t58 MIME type, AppStream metainfo, the icons tools/icons paints.
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/tr58link.desktop
              ${CMAKE_SOURCE_DIR}/data/desktop/cablewatch.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/mime/tr58link.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${CMAKE_SOURCE_DIR}/data/metainfo/tr58link.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages and the bash completion: whatever data/man and data/completion hold.
file(GLOB man_pages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/man/*.1)
if(man_pages)
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
# (A completion file is named after its command; a name with a dot is no completion.)
file(GLOB completions CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/completion/*)
list(FILTER completions EXCLUDE REGEX "/[^/]*\\.[^/]*$")
if(completions)
  install(FILES ${completions} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()
