# Run by `cmake --install`: the desktop entry names the program where this
# install put it, so that launchers and the autostart entry start it from a
# prefix that is not on PATH (~/.local) as well.
set(TAVELON_EXEC "${CMAKE_INSTALL_PREFIX}/${TAVELON_BINDIR}/tavelon")
set(applications "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${TAVELON_DATADIR}/applications")
configure_file("${TAVELON_DESKTOP_IN}" "${applications}/com.vima.Vima.desktop" @ONLY)
message(STATUS "Installing: ${applications}/com.vima.Vima.desktop")
