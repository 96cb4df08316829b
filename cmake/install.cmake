# SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
# SPDX-License-Identifier: GPL-3.0-or-later

# What `cmake --install` puts where (GNUInstallDirs, relocatable with --prefix
# and DESTDIR), and the Debian package that `make package` makes of it.
# The package's maintainer is whoever builds it, named as Debian's tools find
# their user: QUIZ_MAINTAINER, else DEBFULLNAME and DEBEMAIL (or EMAIL), else
# the author of the source tree's commits, else the login on this machine.
set(QUIZ_MAINTAINER "" CACHE STRING "Maintainer of the Debian package, as \"Name <address>\"")
if(NOT QUIZ_MAINTAINER)
    set(quiz_mail "$ENV{DEBEMAIL}")
    if(NOT quiz_mail)
        set(quiz_mail "$ENV{EMAIL}")
    endif()
    set(quiz_name "$ENV{DEBFULLNAME}")
    find_package(Git QUIET)
    if(NOT quiz_mail AND GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} config user.email WORKING_DIRECTORY ${QUIZ_ROOT}
                        OUTPUT_VARIABLE quiz_mail OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        execute_process(COMMAND ${GIT_EXECUTABLE} config user.name WORKING_DIRECTORY ${QUIZ_ROOT}
                        OUTPUT_VARIABLE quiz_name OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    if(NOT quiz_mail)
        cmake_host_system_information(RESULT quiz_host QUERY FQDN)
        set(quiz_mail "$ENV{USER}@${quiz_host}")
    endif()
    if(quiz_mail MATCHES "<")
        set(QUIZ_MAINTAINER "${quiz_mail}")
    else()
        if(NOT quiz_name)
            set(quiz_name "$ENV{USER}")
        endif()
        set(QUIZ_MAINTAINER "${quiz_name} <${quiz_mail}>")
    endif()
endif()
set(QUIZ_DIST ${CMAKE_CURRENT_BINARY_DIR}/dist)

# Two parts, each a Debian package of its own: the game (everything but the
# beep's sound) and the sound module, which alone needs Qt Multimedia; the
# game plays the system bell without it.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME game)
set(QUIZ_SOUND_PACKAGE ${QUIZ_PROGRAM}-sound)

# The programs, the sound module in the game's own library folder, and the
# default question set, which the game copies for each player.
install(TARGETS quiz quizdb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS quizsound LIBRARY DESTINATION ${QUIZ_MODULE_DIR} COMPONENT sound)
# The Access reader, which only the programs start.
install(TARGETS accessreader RUNTIME DESTINATION ${QUIZ_LIBEXEC_DIR})
install(FILES ${QUIZ_DEFAULT_QUESTIONS} DESTINATION ${QUIZ_DEFAULT_DIR})

# Menu entry and AppStream data under the application id.
configure_file(${QUIZ_ROOT}/dist/desktop.in ${QUIZ_DIST}/${QUIZ_APP_ID}.desktop @ONLY)
configure_file(${QUIZ_ROOT}/dist/metainfo.xml.in ${QUIZ_DIST}/${QUIZ_APP_ID}.metainfo.xml @ONLY)
install(FILES ${QUIZ_DIST}/${QUIZ_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUIZ_DIST}/${QUIZ_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The globe in the hicolor theme: drawn sizes, the window's own 32 pixels,
# and the scalable drawing.
set(QUIZ_ICONS ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
foreach(size 16 22 48 64 128 256)
    install(FILES ${QUIZ_ROOT}/assets/icons/${size}.png
            DESTINATION ${QUIZ_ICONS}/${size}x${size}/apps RENAME ${QUIZ_APP_ID}.png)
endforeach()
install(FILES ${QUIZ_ROOT}/assets/icon.png DESTINATION ${QUIZ_ICONS}/32x32/apps RENAME ${QUIZ_APP_ID}.png)
install(FILES ${QUIZ_ROOT}/assets/icon.svg DESTINATION ${QUIZ_ICONS}/scalable/apps RENAME ${QUIZ_APP_ID}.svg)

# Manual pages, and the copyright and changelog a Debian package carries in
# its documentation folder; compressed as Debian keeps them (gzip -n: the same
# bytes on every build).
# The manual pages name the folders as this build installs them.
set(QUIZ_DEFAULT_FULL_DIR ${CMAKE_INSTALL_FULL_DATADIR}/${QUIZ_PROGRAM}/default)
set(QUIZ_GZIPPED)
foreach(file ${QUIZ_PROGRAM}.6 ${QUIZDB_PROGRAM}.1 changelog)
    configure_file(${QUIZ_ROOT}/dist/${file}.in ${QUIZ_DIST}/${file} @ONLY)
    add_custom_command(OUTPUT ${QUIZ_DIST}/${file}.gz
        COMMAND gzip -9nkf ${file}
        WORKING_DIRECTORY ${QUIZ_DIST}
        DEPENDS ${QUIZ_DIST}/${file}
        VERBATIM)
    list(APPEND QUIZ_GZIPPED ${QUIZ_DIST}/${file}.gz)
endforeach()
add_custom_target(quizdocs ALL DEPENDS ${QUIZ_GZIPPED})
configure_file(${QUIZ_ROOT}/dist/copyright.in ${QUIZ_DIST}/copyright @ONLY)
install(FILES ${QUIZ_DIST}/${QUIZ_PROGRAM}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${QUIZ_DIST}/${QUIZDB_PROGRAM}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QUIZ_DIST}/copyright ${QUIZ_DIST}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${QUIZ_DIST}/copyright ${QUIZ_DIST}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${QUIZ_SOUND_PACKAGE} COMPONENT sound)

# The Debian package (make package builds it with the prefix /usr and the
# programs in /usr/games, as Debian keeps games). Library
# dependencies come from dpkg-shlibdeps; the fonts the layout names, Qt's
# German texts and its display plugins are needed at run time without being
# linked.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${QUIZ_PROGRAM})
set(CPACK_PACKAGE_VENDOR "The Plomberg-Quiz developers")
set(CPACK_PACKAGE_CONTACT ${QUIZ_MAINTAINER})
# Each package's description begins with its own synopsis line; CPack puts
# a non-empty CPACK_PACKAGE_DESCRIPTION_SUMMARY (by default the project's
# description) in front of every one, so it is empty.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "German money quiz with three lifelines and a question editor\n"
    "A German money quiz staged like a television show: fifteen multiple-choice\n"
    "questions to the million, three lifelines (fifty-fifty, phone, audience) and\n"
    "a second chance. A second window edits the questions, saved at once into the\n"
    "player's own question file. plomberg-quizdb makes and checks question files\n"
    "from CSV. All texts are in German.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
if(CMAKE_OBJCOPY)
    set(CPACK_QUIZ_OBJCOPY ${CMAKE_OBJCOPY})
    set(CPACK_PRE_BUILD_SCRIPTS ${QUIZ_ROOT}/cmake/debianstrip.cmake)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game sound)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME ${QUIZ_PROGRAM})
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n, qt6-qpa-plugins, libmdb3")
# The beep's sound and Qt's plugin for Wayland sessions are recommended, as
# Debian's Qt games do it: a Wayland desktop without XWayland needs the
# plugin, an X11 one does without; without the sound the beep is the bell.
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS "${QUIZ_SOUND_PACKAGE}, qt6-wayland")
set(CPACK_DEBIAN_GAME_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_SOUND_PACKAGE_NAME ${QUIZ_SOUND_PACKAGE})
set(CPACK_DEBIAN_SOUND_PACKAGE_DEPENDS "${QUIZ_PROGRAM} (= ${PROJECT_VERSION})")
string(CONCAT CPACK_DEBIAN_SOUND_DESCRIPTION
    "Phone lifeline's beep for the German money quiz plomberg-quiz\n"
    "The short tone plomberg-quiz plays when the thirty seconds of its phone\n"
    "lifeline begin, through Qt Multimedia and the sound system. Without this\n"
    "package the game rings the system bell instead.")
include(CPack)
