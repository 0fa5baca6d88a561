# The Debian package a school installs on each PC (scripts/package.sh, or the target `deb`):
#
#   /opt/kamirato/パスデータ.txt              names the school's base folder; a conffile, kept on upgrade
#   /opt/kamirato/四字熟語/yojidrill          the program in its application folder, with the idiom data
#   /opt/kamirato/四字熟語/四字02vv.ccc       file and the voices, as every member of the family lays it out
#   /opt/kamirato/四字熟語/四字熟語音声/
#   /usr/bin/yojidrill                        starts the program by its full path
#   /usr/bin/yoji-data                        the data tool (yoji-data school lays out an empty school)
#   /usr/bin/yojidrill-demo                   lays out the demo school and starts the program on it
#   /usr/lib/yojidrill/make-demo-school       the demo school maker it calls
#   /usr/share/applications, icons, doc       desktop entry, icon, copyright and changelog
#
# The application folder keeps the family's name 四字熟語: it also names the program's data folder in the
# base folder, which PCs of other systems share.
set(YOJI_FAMILY_DIR /opt/kamirato)
set(YOJI_APP_NAME 四字熟語)
set(YOJI_APP_DIR ${YOJI_FAMILY_DIR}/${YOJI_APP_NAME})
set(YOJI_LIB_DIR /usr/lib/yojidrill)
set(YOJI_VOICES_NAME 四字熟語音声)
get_filename_component(YOJI_IDIOM_DATA_NAME ${YOJI_IDIOM_DATA} NAME)
# Where a new installation looks for the school until the administrator names its own base folder.
set(YOJI_DEFAULT_BASE_FOLDER /srv/juku/)

set(pkg ${PROJECT_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The voices are spoken from the stored idiom data by yoji-data (espeak-ng and MeCab) for the package
# only: the test command's build goes without them. All are made again when the idiom data changes, so
# that no voice of a removed idiom stays behind.
set(YOJI_VOICES_FOLDER ${pkg}/voices)
add_custom_command(OUTPUT ${pkg}/voices.stamp
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${YOJI_VOICES_FOLDER}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${YOJI_VOICES_FOLDER}
    COMMAND yoji-data voices ${YOJI_IDIOM_DATA} ${YOJI_VOICES_FOLDER}
    COMMAND ${CMAKE_COMMAND} -E touch ${pkg}/voices.stamp
    DEPENDS ${YOJI_IDIOM_DATA} yoji-data
    COMMENT "Speaking the idioms' voices for the package (espeak-ng, MeCab)"
    VERBATIM)
add_custom_target(package-voices DEPENDS ${pkg}/voices.stamp)

# The path data file in code page 932 with CRLF, as the program reads it: item 1 the base folder, items 2
# to 10 for other members of the family.
file(WRITE ${pkg}/パスデータ.txt "\"${YOJI_DEFAULT_BASE_FOLDER}\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n")
file(WRITE ${pkg}/conffiles "${YOJI_FAMILY_DIR}/パスデータ.txt\n")
configure_file(${CMAKE_CURRENT_LIST_DIR}/yojidrill.sh.in ${pkg}/yojidrill @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/yojidrill-demo.sh.in ${pkg}/yojidrill-demo @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${pkg}/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${pkg}/changelog)

install(TARGETS yojidrill RUNTIME DESTINATION .${YOJI_APP_DIR})
install(FILES ${YOJI_IDIOM_DATA} DESTINATION .${YOJI_APP_DIR})
install(CODE "if(NOT EXISTS \"${YOJI_VOICES_FOLDER}/${YOJI_VOICES_NAME}\")
    message(FATAL_ERROR \"The idioms' voices are not made: build the target deb (scripts/package.sh) or package-voices first.\")
endif()")
install(DIRECTORY ${YOJI_VOICES_FOLDER}/${YOJI_VOICES_NAME} DESTINATION .${YOJI_APP_DIR})
install(FILES ${pkg}/パスデータ.txt DESTINATION .${YOJI_FAMILY_DIR})
install(TARGETS yoji-data RUNTIME DESTINATION ./usr/bin)
install(PROGRAMS ${pkg}/yojidrill ${pkg}/yojidrill-demo DESTINATION ./usr/bin)
install(TARGETS make-demo-school RUNTIME DESTINATION .${YOJI_LIB_DIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/yojidrill.desktop DESTINATION ./usr/share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/yojidrill.svg DESTINATION ./usr/share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${pkg}/changelog.gz DESTINATION ./usr/share/doc/yojidrill)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION ./usr/share/lintian/overrides
        RENAME yojidrill)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME yojidrill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_PACKAGE_VENDOR Kamirato)
set(CPACK_PACKAGE_CONTACT "Kamirato <support@kamirato.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timed drill on four-character idioms for cram schools")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A student picks his or her name from the school's roster, sees the twenty\n"
    "levels of the drill with rankings and standings, and runs practice levels\n"
    "(flash cards) or timed tests on the readings, meanings and kanji of\n"
    "four-character idioms (yoji-jukugo). Every test is appended to a results\n"
    "file that the classroom PCs share. The school's files live in a base folder\n"
    "named in /opt/kamirato/パスデータ.txt, and yoji-data school lays out\n"
    "an empty one.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link are found by dpkg-shlibdeps; what they load or use at run time is not:
# the toolkit's window system plugins and a Japanese font with full-width characters of two half widths.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, qt6-translations-l10n")
# Only yoji-data voices needs these, to speak the voices of a school's own idiom list.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "espeak-ng, mecab, mecab-ipadic-utf8")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${pkg}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackProject.cmake)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)

# Builds what the package holds, and only that, then the package into build/package/.
add_custom_target(deb
    COMMAND ${CMAKE_CPACK_COMMAND} --config ${PROJECT_BINARY_DIR}/CPackConfig.cmake
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    COMMENT "Building the Debian package into ${PROJECT_BINARY_DIR}/package"
    USES_TERMINAL
    VERBATIM)
add_dependencies(deb yojidrill yoji-data make-demo-school idiom-data package-voices)
