# The Debian packages that `bash scripts/package` builds with CPack, one per install
# component: reelforge-cli (the command line, the data files) and reelforge (the window, which
# needs the other). Their library dependencies are computed by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli gui)
set(CPACK_PACKAGE_NAME reelforge)
set(CPACK_PACKAGE_VENDOR Tarnwick)
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tarnwick.example/")
set(CPACK_PACKAGE_CONTACT "Tarnwick <reelforge@tarnwick.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SOURCE reelforge)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME reelforge-cli)
# The encoder runs as a child process and the media library is loaded when first needed, so
# no library link names them.
set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "ffmpeg, libmediainfo0v5 (>= 23.04)")
set(CPACK_DEBIAN_CLI_DESCRIPTION "batch video converter for the command line
Converts many video files at once to one format with ffmpeg, chosen
from presets by category or given as encoder options. Results are
written in private hidden folders, checked against what the encoder
wrote, and only then given their final names, never over an existing
file.
.
This package holds reelforge-cli, the shipped presets and codecs, and
the help page. It can also print the encoder commands for GNU parallel
or Slurm instead of running them.")

set(CPACK_DEBIAN_GUI_PACKAGE_NAME reelforge)
# The platform plugins draw the window; xdg-utils opens the help page and result folders.
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "reelforge-cli (= ${PROJECT_VERSION}), qt6-qpa-plugins")
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_GUI_DESCRIPTION "batch video converter with a window
Collects video files in a list from a file dialog, a folder or by drag
and drop, and converts all waiting files or only the ticked ones to one
format with ffmpeg: a preset by category, or a container, codecs,
bitrates, size, frame rate and sound of your own. Each row shows its
progress; the list is offered back after a crash, and the machine stays
awake while a batch runs.
.
This package holds the window, its menu entry, icons and metainfo.")

# Each package carries the copyright file and the changelog of this native package.
execute_process(COMMAND date -u -R -d ${REELFORGE_RELEASE_DATE}
    OUTPUT_VARIABLE release_date_rfc2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
foreach(component cli gui)
    string(TOUPPER ${component} upper)
    set(doc_folder ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
    install(FILES data/package/copyright DESTINATION ${doc_folder} COMPONENT ${component})
    reelforge_install_compressed(data/package/changelog.in changelog ${doc_folder} ${component})
endforeach()
include(CPack)
