# Desktop integration in the XDG places: the menu entry, the icon and the MIME types of
# Touchstone files, so file managers offer Torvex for .s1p to .s99p files and for .ts files
# whose content says Touchstone.
# (The program itself is installed next to its target definition.)
install(FILES ${PROJECT_SOURCE_DIR}/resources/torvex.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/torvex.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/torvex-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME torvex.xml)

# The completion script where bash-completion looks for it, and the documents.
install(FILES ${PROJECT_SOURCE_DIR}/resources/torvex.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME torvex)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The manual page, made from the help's own source by the program just built, so the two
# always list the same options.
string(TIMESTAMP TORVEX_MAN_DATE "%Y-%m-%d" UTC)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/torvex.1.gz
  COMMAND $<TARGET_FILE:torvex> --manpage ${TORVEX_MAN_DATE} > ${CMAKE_BINARY_DIR}/torvex.1
  COMMAND gzip -9 -n -f -k ${CMAKE_BINARY_DIR}/torvex.1
  DEPENDS torvex
  COMMENT "Making the manual page torvex.1"
  VERBATIM)
add_custom_target(manpage ALL DEPENDS ${CMAKE_BINARY_DIR}/torvex.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/torvex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
