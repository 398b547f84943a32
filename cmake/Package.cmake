# The Debian package that `bash scripts/package` builds with CPack.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME reelforge)
set(CPACK_PACKAGE_VENDOR Tarnwick)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batch video converter")
set(CPACK_PACKAGE_DESCRIPTION
    "Collects video files in a list and converts them all to one chosen format with ffmpeg.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tarnwick.example/")
set(CPACK_PACKAGE_CONTACT "Tarnwick <reelforge@tarnwick.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
# The encoder runs as a child process; the Qt libraries and the media library are linked;
# the platform plugins draw the window, xdg-utils opens the help page.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "ffmpeg, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), \
libqt6dbus6 (>= 6.4), qt6-qpa-plugins (>= 6.4), libmediainfo0v5 (>= 23.04), libc6, libstdc++6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
