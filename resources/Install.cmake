# Install rules: both programs, the desktop entry, the icon in the hicolor theme, the AppStream
# metainfo, the manual pages, the systemd user unit and the package documentation.
# Paths inside the desktop entry and the unit are filled in at install time, so that
# `cmake --install build --prefix DIR` gets entries that point into DIR.
include(GNUInstallDirs)

set(PEERWELL_RELEASE_DATE "2026-12-06" CACHE STRING "Release date of this version (YYYY-MM-DD)")
set(PEERWELL_SYSTEMD_USER_UNIT_DIR "lib/systemd/user" CACHE STRING
    "Where the systemd user unit goes, relative to the prefix (share/systemd/user for ~/.local)")
set(PEERWELL_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/peerwell")
set(PEERWELL_METAINFO "org.peerwell.Peerwell.metainfo.xml")
set(resources ${CMAKE_CURRENT_LIST_DIR})
set(generated ${CMAKE_BINARY_DIR}/resources/generated)

install(TARGETS peerwell-watch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages: one text on the file formats and limits, shared by both pages.
file(READ ${resources}/man/formats.roff PEERWELL_MAN_FORMATS)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${resources}/man/formats.roff)
set(pages peerwell-watch)
if(TARGET peerwell)
    list(APPEND pages peerwell)
endif()
find_program(PEERWELL_GZIP gzip REQUIRED)
set(pages_gz)
foreach(page ${pages})
    configure_file(${resources}/man/${page}.1.in ${generated}/${page}.1 @ONLY)
    add_custom_command(OUTPUT ${generated}/${page}.1.gz
        COMMAND ${PEERWELL_GZIP} -9nkf ${generated}/${page}.1
        DEPENDS ${generated}/${page}.1
        COMMENT "Compressing the manual page ${page}(1)")
    list(APPEND pages_gz ${generated}/${page}.1.gz)
endforeach()

# The package's change log, dated from the release date.
execute_process(COMMAND date -u -R -d "${PEERWELL_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE PEERWELL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
configure_file(${resources}/changelog.in ${generated}/changelog @ONLY)
add_custom_command(OUTPUT ${generated}/changelog.gz
    COMMAND ${PEERWELL_GZIP} -9nkf ${generated}/changelog
    DEPENDS ${generated}/changelog
    COMMENT "Compressing the change log")
add_custom_target(peerwell_docs ALL DEPENDS ${pages_gz} ${generated}/changelog.gz)

install(FILES ${pages_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${resources}/copyright ${generated}/changelog.gz DESTINATION ${PEERWELL_DOCDIR})

# The unit and the desktop entry name the programs by their installed path.
set(unit_dir ${PEERWELL_SYSTEMD_USER_UNIT_DIR})
set(desktop_dir ${CMAKE_INSTALL_DATADIR}/applications)
install(CODE "
    set(PEERWELL_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    message(STATUS \"Installing: \${root}/${unit_dir}/peerwell-watch.service\")
    configure_file(\"${resources}/peerwell-watch.service.in\"
        \"\${root}/${unit_dir}/peerwell-watch.service\" @ONLY)
")

if(TARGET peerwell)
    install(TARGETS peerwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(CODE "
        set(PEERWELL_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
        message(STATUS \"Installing: \${root}/${desktop_dir}/peerwell.desktop\")
        configure_file(\"${resources}/peerwell.desktop.in\"
            \"\${root}/${desktop_dir}/peerwell.desktop\" @ONLY)
    ")
    foreach(size 16 22 24 32 48 64 128 256)
        install(FILES ${resources}/icons/${size}x${size}/peerwell.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    configure_file(${resources}/${PEERWELL_METAINFO}.in ${generated}/${PEERWELL_METAINFO} @ONLY)
    install(FILES ${generated}/${PEERWELL_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
