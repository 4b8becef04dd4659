# `cmake --install BUILD --prefix PREFIX` puts the game where a desktop finds
# it: the executable in PREFIX/bin, its content in PREFIX/share/vorlune/assets
# (the executable looks there, relative to itself), a desktop entry and an icon.
include(GNUInstallDirs)

set(VORLUNE_CONTENT_DESTINATION ${CMAKE_INSTALL_DATADIR}/vorlune/assets)
set(VORLUNE_ICON_DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
# Relative to the executable, so an installed tree can be moved whole.
file(RELATIVE_PATH VORLUNE_INSTALLED_CONTENT /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VORLUNE_CONTENT_DESTINATION})
target_compile_definitions(vorlune PRIVATE VORLUNE_INSTALLED_CONTENT="${VORLUNE_INSTALLED_CONTENT}")

install(TARGETS vorlune RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The font is placed among the content by the build (vorlune_font).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/assets/ DESTINATION ${VORLUNE_CONTENT_DESTINATION})
install(FILES ${CMAKE_SOURCE_DIR}/assets/gui/icon.png DESTINATION ${VORLUNE_ICON_DESTINATION} RENAME vorlune.png)
# The entry names the executable and the icon by their full installed paths,
# known only at install time: the prefix need not be on PATH or among the
# desktop's data folders.
install(CODE "
  set(VORLUNE_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/vorlune\")
  set(VORLUNE_ICON \"\${CMAKE_INSTALL_PREFIX}/${VORLUNE_ICON_DESTINATION}/vorlune.png\")
  configure_file(\"${CMAKE_SOURCE_DIR}/cmake/vorlune.desktop.in\" \"${CMAKE_BINARY_DIR}/install/vorlune.desktop\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
       TYPE FILE FILES \"${CMAKE_BINARY_DIR}/install/vorlune.desktop\")
")
