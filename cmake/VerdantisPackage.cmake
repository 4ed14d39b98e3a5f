# Desktop integration files made at build time and the Debian package.
# Man pages and the user guide are Markdown turned into roff and HTML by
# pandoc; the PNG icons are drawn from the SVG by rsvg-convert.

include(GNUInstallDirs)
find_program(VERDANTIS_PANDOC pandoc)
find_program(VERDANTIS_RSVG rsvg-convert)
set(VERDANTIS_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(VERDANTIS_GENERATED ${PROJECT_BINARY_DIR}/packaging)
set(VERDANTIS_GENERATED_FILES)

# Manual pages
set(VERDANTIS_MAN_PAGES verdantis verdantis-cli verdantis-server verdantis-setparser verdantis-behaviorparser)
if(VERDANTIS_PANDOC)
  foreach(page ${VERDANTIS_MAN_PAGES})
    set(source ${VERDANTIS_PACKAGING}/man/${page}.1.md)
    set(roff ${VERDANTIS_GENERATED}/man/${page}.1)
    add_custom_command(OUTPUT ${roff}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${VERDANTIS_GENERATED}/man
      COMMAND ${VERDANTIS_PANDOC} --standalone --to man
              --metadata footer=Verdantis\ ${PROJECT_VERSION} -o ${roff} ${source}
      COMMAND gzip -9nf ${roff}
      DEPENDS ${source} VERBATIM)
    list(APPEND VERDANTIS_GENERATED_FILES ${roff}.gz)
    install(FILES ${roff}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
else()
  message(STATUS "pandoc not found: no manual pages and no HTML user guide")
endif()

# The user guide: one HTML page per Markdown chapter, with its pictures,
# for Help > User Guide and the package
file(GLOB VERDANTIS_GUIDE_CHAPTERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/guide/*.md)
file(GLOB VERDANTIS_GUIDE_IMAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/guide/images/*.png)
set(VERDANTIS_GUIDE_DIR ${PROJECT_BINARY_DIR}/guide)
if(VERDANTIS_PANDOC AND VERDANTIS_GUIDE_CHAPTERS)
  set(guide_pages)
  foreach(chapter ${VERDANTIS_GUIDE_CHAPTERS})
    get_filename_component(stem ${chapter} NAME_WE)
    if(stem STREQUAL "README")
      set(stem index)
    endif()
    set(html ${VERDANTIS_GUIDE_DIR}/${stem}.html)
    add_custom_command(OUTPUT ${html}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${VERDANTIS_GUIDE_DIR}
      COMMAND ${VERDANTIS_PANDOC} --standalone --from gfm --to html5
              --lua-filter ${PROJECT_SOURCE_DIR}/docs/guide/tools/mdlinks.lua
              --css guide.css --metadata pagetitle=Verdantis -o ${html} ${chapter}
      DEPENDS ${chapter} ${PROJECT_SOURCE_DIR}/docs/guide/tools/mdlinks.lua VERBATIM)
    list(APPEND guide_pages ${html})
  endforeach()
  set(guide_files ${VERDANTIS_GUIDE_DIR}/guide.css)
  add_custom_command(OUTPUT ${VERDANTIS_GUIDE_DIR}/guide.css
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/guide/tools/guide.css ${VERDANTIS_GUIDE_DIR}/guide.css
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/guide/tools/guide.css VERBATIM)
  foreach(image ${VERDANTIS_GUIDE_IMAGES})
    get_filename_component(name ${image} NAME)
    add_custom_command(OUTPUT ${VERDANTIS_GUIDE_DIR}/images/${name}
      COMMAND ${CMAKE_COMMAND} -E copy ${image} ${VERDANTIS_GUIDE_DIR}/images/${name}
      DEPENDS ${image} VERBATIM)
    list(APPEND guide_files ${VERDANTIS_GUIDE_DIR}/images/${name})
  endforeach()
  list(APPEND VERDANTIS_GENERATED_FILES ${guide_pages} ${guide_files})
  install(DIRECTORY ${VERDANTIS_GUIDE_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/verdantis/guide)
endif()

# Icons at the sizes desktops look for, beside the scalable ones
set(VERDANTIS_ICON_SIZES 16 22 24 32 48 64 128 256 512)
if(VERDANTIS_RSVG)
  foreach(size ${VERDANTIS_ICON_SIZES})
    foreach(icon verdantis:apps application-x-verdantis-solution:mimetypes)
      string(REPLACE ":" ";" parts ${icon})
      list(GET parts 0 name)
      list(GET parts 1 context)
      set(png ${VERDANTIS_GENERATED}/icons/${size}/${name}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VERDANTIS_GENERATED}/icons/${size}
        COMMAND ${VERDANTIS_RSVG} -w ${size} -h ${size} -o ${png} ${VERDANTIS_PACKAGING}/icons/${name}.svg
        DEPENDS ${VERDANTIS_PACKAGING}/icons/${name}.svg VERBATIM)
      list(APPEND VERDANTIS_GENERATED_FILES ${png})
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/${context})
    endforeach()
  endforeach()
else()
  message(STATUS "rsvg-convert not found: only the scalable icons are installed")
endif()

# Debian's changelog and copyright live in the package's doc folder
set(VERDANTIS_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/verdantis)
configure_file(${VERDANTIS_PACKAGING}/debian/changelog ${VERDANTIS_GENERATED}/changelog @ONLY)
add_custom_command(OUTPUT ${VERDANTIS_GENERATED}/changelog.gz
  COMMAND gzip -9nkf ${VERDANTIS_GENERATED}/changelog
  DEPENDS ${VERDANTIS_PACKAGING}/debian/changelog VERBATIM)
list(APPEND VERDANTIS_GENERATED_FILES ${VERDANTIS_GENERATED}/changelog.gz)
install(FILES ${VERDANTIS_GENERATED}/changelog.gz DESTINATION ${VERDANTIS_DOCDIR})
install(FILES ${VERDANTIS_PACKAGING}/debian/copyright DESTINATION ${VERDANTIS_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${VERDANTIS_DOCDIR}/examples)

add_custom_target(verdantis_packaging ALL DEPENDS ${VERDANTIS_GENERATED_FILES})

install(FILES ${VERDANTIS_PACKAGING}/io.github.verdantis.Verdantis.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# bash-completion loads a command's file by the command's name
foreach(program verdantis verdantis-cli verdantis-server)
  install(FILES ${VERDANTIS_PACKAGING}/verdantis.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ${program})
endforeach()
# systemd looks in /lib on Debian 12; the unit is shipped, never enabled
install(FILES ${VERDANTIS_PACKAGING}/verdantis-server.service DESTINATION /lib/systemd/system)

# The Debian package: cpack -G DEB, or scripts/package.sh
set(CPACK_PACKAGE_NAME verdantis)
set(CPACK_PACKAGE_VENDOR "The Verdantis developers")
set(CPACK_PACKAGE_CONTACT "The Verdantis developers <verdantis@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "modelling tool for Behavior Trees")
set(CPACK_PACKAGE_DESCRIPTION
  "Verdantis turns functional requirements into Behavior Trees: one
requirement behavior tree per requirement, integrated into a design tree
from which the component behavior trees, the component interaction network
and the component interface diagrams are derived. Trees can be compared
across versions, translated for the SAL and UPPAAL model checkers,
simulated, and edited together through the included collaboration server.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/verdantis/verdantis)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The server's SQLite store is a Qt plugin, which dpkg-shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, libqt6sql6-sqlite")
# --database postgresql://... needs Qt's PostgreSQL plugin
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "spin, libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${VERDANTIS_PACKAGING}/debian/postinst ${VERDANTIS_PACKAGING}/debian/prerm ${VERDANTIS_PACKAGING}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
# cpack packs what is built; scripts/package.sh builds first, and the
# package test must not start a build of everything from inside the test run
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
