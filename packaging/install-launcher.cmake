# Installs the launcher. It is made at install time because its Path names
# the folder the manual is installed to, and the Debian package installs
# under /usr whatever prefix the build folder was configured with. It is
# made outside the build folder, which an install run with sudo may not own.
#   QST_LAUNCHER_TEMPLATE  the launcher with @QST_MANUAL_DIR@ in it
#   QST_DOCDIR, QST_APPLICATIONS_DIR  install folders, absolute or under the prefix
foreach(folder QST_DOCDIR QST_APPLICATIONS_DIR)
    if(NOT IS_ABSOLUTE "${${folder}}")
        set(${folder} "${CMAKE_INSTALL_PREFIX}/${${folder}}")
    endif()
endforeach()
set(QST_MANUAL_DIR "${QST_DOCDIR}")
string(RANDOM LENGTH 12 staging)
if(DEFINED ENV{TMPDIR})
    set(staging "$ENV{TMPDIR}/qst-launcher-${staging}")
else()
    set(staging "/tmp/qst-launcher-${staging}")
endif()
get_filename_component(launcher "${QST_LAUNCHER_TEMPLATE}" NAME_WLE)
configure_file("${QST_LAUNCHER_TEMPLATE}" "${staging}/${launcher}" @ONLY)
file(INSTALL DESTINATION "${QST_APPLICATIONS_DIR}" TYPE FILE FILES "${staging}/${launcher}")
file(REMOVE_RECURSE "${staging}")
