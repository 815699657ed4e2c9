# The manual, the install layout and the Debian package.
set(CMAKE_INSTALL_DOCDIR share/doc/quorastelline-config CACHE PATH "Documentation, the manual among it")
include(GNUInstallDirs)

set(QST_MANUAL Quorastelline_Manual.pdf)
set(QST_MANUAL_SOURCE ${CMAKE_SOURCE_DIR}/docs/manual/Quorastelline_Manual.adoc)

# The manual is built from its text source into the build folder, where
# the program run from that folder finds it.
find_program(ASCIIDOCTOR_PDF asciidoctor-pdf)
if(ASCIIDOCTOR_PDF AND EXISTS ${QST_MANUAL_SOURCE})
    file(GLOB QST_MANUAL_INPUTS CONFIGURE_DEPENDS
        ${CMAKE_SOURCE_DIR}/docs/manual/* ${CMAKE_SOURCE_DIR}/docs/images/*)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${QST_MANUAL}
        COMMAND ${ASCIIDOCTOR_PDF} -q -a imagesdir=${CMAKE_SOURCE_DIR}/docs/images
                -a revnumber=${PROJECT_VERSION} -o ${CMAKE_BINARY_DIR}/${QST_MANUAL} ${QST_MANUAL_SOURCE}
        DEPENDS ${QST_MANUAL_INPUTS}
        COMMENT "Building the user manual"
        VERBATIM)
    add_custom_target(manual ALL DEPENDS ${CMAKE_BINARY_DIR}/${QST_MANUAL})
    install(FILES ${CMAKE_BINARY_DIR}/${QST_MANUAL} DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
    message(STATUS "asciidoctor-pdf not found: the user manual is not built (apt-get install ruby-asciidoctor-pdf)")
endif()

install(TARGETS quorastelline-config qst qst-devsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The launcher starts the program in the manual's folder, where Help looks;
# that folder is known when installing (packaging/install-launcher.cmake).
set(QST_APP_ID com.tarven.QuorastellineConfig)
install(CODE "
    set(QST_LAUNCHER_TEMPLATE \"${CMAKE_SOURCE_DIR}/packaging/${QST_APP_ID}.desktop.in\")
    set(QST_DOCDIR \"${CMAKE_INSTALL_DOCDIR}\")
    set(QST_APPLICATIONS_DIR \"${CMAKE_INSTALL_DATADIR}/applications\")
    include(\"${CMAKE_SOURCE_DIR}/packaging/install-launcher.cmake\")")
install(FILES packaging/${QST_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES resources/icons/${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME quorastelline-config.png)
endforeach()
# Manual pages and changelog as Debian keeps them: compressed with gzip -9n
# (no name or time stamp inside, so the same text gives the same bytes).
set(QST_COMPRESSED)
foreach(source man/quorastelline-config.1 man/qst.1 man/qst-devsim.1 changelog)
    get_filename_component(name ${source} NAME)
    set(copy ${CMAKE_BINARY_DIR}/packaging/${name})
    add_custom_command(OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/${source} ${copy}
        COMMAND gzip -9nf ${copy}
        DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source}
        VERBATIM)
    list(APPEND QST_COMPRESSED ${copy}.gz)
    if(source MATCHES "^man/")
        install(FILES ${copy}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    else()
        install(FILES ${copy}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
    endif()
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${QST_COMPRESSED})
# The copyright file is machine-readable (Debian's copyright format 1.0).
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The JSON Schema of the form qst export writes, for editors and checkers.
install(FILES docs/quorastelline-config.schema.json DESTINATION ${CMAKE_INSTALL_DATADIR}/quorastelline-config)
# The Ansible module, for ANSIBLE_LIBRARY or an ansible.cfg "library" line.
install(PROGRAMS ansible/library/quorastelline_config.py
    DESTINATION ${CMAKE_INSTALL_DATADIR}/quorastelline-config/ansible/library)
# Why the module's Python is no dependency of the package: packaging/lintian.
install(FILES packaging/lintian/quorastelline-config DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)

set(CPACK_PACKAGE_NAME quorastelline-config)
set(CPACK_PACKAGE_VENDOR TARVEN)
set(CPACK_PACKAGE_CONTACT "Quorastelline Team <dev@quorastelline.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration utility for Quorastelline protocol-converter devices")
# Lines of the long description stay within Debian's 80 columns.
set(CPACK_PACKAGE_DESCRIPTION [[
The window (quorastelline-config) edits device configurations (.qst
files), reads and writes them to devices over TCP or a serial line, finds
devices on a subnet and prints reports. qst does the same from scripts;
qst-devsim simulates a device.]])
# The package installs under /usr from any build folder; the configured
# prefix is for installing by hand. Programs go in stripped: their debug
# information is not packaged.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Help opens the manual with the desktop's PDF viewer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
