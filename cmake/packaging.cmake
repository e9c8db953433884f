# The Debian package (cpack -G DEB): manual pages, icons, package documentation and the control fields.
find_program(GZIP_PROGRAM gzip REQUIRED)

# Debian wants manual pages and changelogs compressed with gzip -9n (-n: no name or time stamp,
# so the package is the same from one build to the next).
set(packageStaging ${PROJECT_BINARY_DIR}/package)
set(manPages kusolvanta.6 kusolvanta-render.1 kusolvanta-capture.1)
set(compressedPages)
foreach(page IN LISTS manPages)
  set(source ${PROJECT_SOURCE_DIR}/man/${page})
  set(target ${packageStaging}/${page}.gz)
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packageStaging}
    COMMAND ${GZIP_PROGRAM} -9n -c ${source} > ${target}
    DEPENDS ${source}
    COMMENT "Compressing the manual page ${page}")
  list(APPEND compressedPages ${target})
  string(REGEX MATCH "[0-9]$" section ${page})
  install(FILES ${target} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

# The windowed alias shares the demo's page.
file(MAKE_DIRECTORY ${packageStaging})
file(CREATE_LINK kusolvanta.6.gz ${packageStaging}/kusolvantaw.6.gz SYMBOLIC)
install(FILES ${packageStaging}/kusolvantaw.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

set(KU_PACKAGE_MAINTAINER "Ku Solvanta developers <kusolvanta@example.org>"
  CACHE STRING "the Maintainer field of the Debian package")

# A native package carries its Debian changelog as changelog.gz; one entry per release.
set(changelogText ${packageStaging}/changelog)
file(CONFIGURE OUTPUT ${changelogText} CONTENT
"kusolvanta (${PROJECT_VERSION}) unstable; urgency=medium

  * The demo, kusolvanta-render and kusolvanta-capture, with manual pages,
    a desktop launcher and an icon.

 -- ${KU_PACKAGE_MAINTAINER}  Wed, 11 Dec 2024 12:00:00 +0000
" @ONLY)
set(changelog ${packageStaging}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${GZIP_PROGRAM} -9n -c ${changelogText} > ${changelog}
  DEPENDS ${changelogText}
  COMMENT "Compressing the package changelog")
add_custom_target(kusolvanta-docs ALL DEPENDS ${compressedPages} ${changelog})
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})

foreach(size 48 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/kusolvanta-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kusolvanta.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kusolvanta)
set(CPACK_PACKAGE_VENDOR "Ku Solvanta developers")
set(CPACK_PACKAGE_CONTACT "${KU_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KU_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps turns the linked libraries into Depends (libc6, libgcc-s1, libstdc++6,
# libsdl1.2debian, libgl1) with the versions this build needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The capture tool needs ffmpeg to write anything, and Xvfb on a machine without a display.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xvfb")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "self-running audiovisual demo with its own synthesizer")
# The summary is the Description's first line; this is the extended text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ku Solvanta opens a 640x480 OpenGL display, plays a song on its own software
synthesizer and draws a fixed timeline of scenes in time with the music: a
turning ring of luminous dot letters, a sphere of rings, spiral line figures
and chains of triangles, every frame passed through a darkening feedback and
an additive glow. It ends by itself after about two minutes, or on a key
press.
.
The package also holds kusolvanta-render, which plays a song into a WAV file,
and kusolvanta-capture, which records the demo frame by frame into a video
file with ffmpeg.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
