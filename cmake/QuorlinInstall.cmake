# Installing: the program and the programs beside it under the prefix, with what a Linux desktop
# needs to list it (desktop entry, icons in the icon theme's sizes, AppStream metainfo and its
# screenshot); CPack makes a Debian package of the same (scripts/package.sh).

set(packaging ${PROJECT_SOURCE_DIR}/packaging)

# The installed executables and the modules they load, one target a line.
set(QUORLIN_INSTALLED_TARGETS
  quorlin
  quorlin-card
  quorlin-picture
  quorlin-profile-service
  quorlin_desktop_module
  quorlin_http_module
)
install(TARGETS ${QUORLIN_INSTALLED_TARGETS}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${QUORLIN_MODULE_INSTALL_DIR})

install(FILES ${packaging}/${QUORLIN_DESKTOP_ENTRY} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${QUORLIN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon the program carries, drawn anew at each size of the hicolor theme.
set(desktop_files)
foreach(size 16 22 24 32 48 64 128 256)
  set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/quorlin.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND quorlin_template_generator --icon ${size} ${icon}
    DEPENDS quorlin_template_generator
    COMMENT "Drawing the ${size}x${size} program icon")
  list(APPEND desktop_files ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The metainfo's screenshot, the picture its URL publishes: a card the built program makes
# (a sanitizer build's leak report is the tests' business, not the picture's).
set(screenshot ${CMAKE_BINARY_DIR}/screenshots/card.png)
add_custom_command(OUTPUT ${screenshot}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 QUORLIN_BUILD=${CMAKE_BINARY_DIR}
    bash ${PROJECT_SOURCE_DIR}/scripts/card-picture.sh ${screenshot} > /dev/null
  DEPENDS quorlin quorlin-profile-service quorlin-picture ${PROJECT_SOURCE_DIR}/scripts/card-picture.sh
  COMMENT "Making the screenshot of a card")
list(APPEND desktop_files ${screenshot})
install(FILES ${screenshot} DESTINATION ${CMAKE_INSTALL_DATADIR}/quorlin/screenshots)

add_custom_target(quorlin_desktop_files ALL DEPENDS ${desktop_files})

# Everything an installation takes; packaging builds this target alone rather than the tests
# and benchmarks of the whole tree.
add_custom_target(quorlin_installed)
add_dependencies(quorlin_installed ${QUORLIN_INSTALLED_TARGETS} quorlin_desktop_files)
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# The Debian package. Library dependencies are found by dpkg-shlibdeps; what the program
# loads at run time (Qt's display plug-ins) and the faces its font aliases name are listed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorlin)
set(CPACK_PACKAGE_VENDOR "The Quorlin developers")
set(CPACK_PACKAGE_CONTACT "The Quorlin developers <dev@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "identity-card pictures of forum members")
set(CPACK_PACKAGE_DESCRIPTION "Quorlin makes identity-card pictures of forum members: it fetches a\
 member's profile and portrait and shows a card with a background picture, the portrait in a coloured\
 frame, the ID and the forum age, then copies or saves it.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quorlin.example.invalid/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-user-dirs")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
