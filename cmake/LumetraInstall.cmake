# What `cmake --install` puts beside the two programs (installed by their own
# folders): the desktop entry, icons, AppStream metainfo, the HTML manual,
# manual pages and the bash completion, laid out as the freedesktop and
# Debian conventions expect.
include(GNUInstallDirs)

set(LUMETRA_APP_ID com.tarvix.Lumetra)
set(LUMETRA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/lumetra)
set(res ${PROJECT_SOURCE_DIR}/resources)

install(FILES ${res}/desktop/${LUMETRA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${res}/desktop/${LUMETRA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${res}/icons/lumetra.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${LUMETRA_APP_ID}.svg)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${res}/icons/hicolor/${size}x${size}/lumetra.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${LUMETRA_APP_ID}.png)
endforeach()
install(FILES ${res}/help/Lumetra.html ${res}/package/copyright DESTINATION ${LUMETRA_DOC_DIR})
install(FILES ${res}/completion/lumetra-analyze DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Manual pages and the changelog go compressed, without a time stamp in the
# gzip header, so the package is the same from build to build.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(gz_dir ${CMAKE_BINARY_DIR}/compressed)
configure_file(${res}/package/changelog.in ${gz_dir}/changelog @ONLY)
set(gz_outputs)
foreach(src ${res}/man/lumetra.1 ${res}/man/lumetra-analyze.1 ${gz_dir}/changelog)
  get_filename_component(name ${src} NAME)
  add_custom_command(OUTPUT ${gz_dir}/${name}.gz
    COMMAND ${GZIP_PROGRAM} -9n -c ${src} > ${gz_dir}/${name}.gz
    DEPENDS ${src} VERBATIM)
  list(APPEND gz_outputs ${gz_dir}/${name}.gz)
endforeach()
add_custom_target(lumetra_compressed_docs ALL DEPENDS ${gz_outputs})
install(FILES ${gz_dir}/lumetra.1.gz ${gz_dir}/lumetra-analyze.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${gz_dir}/changelog.gz DESTINATION ${LUMETRA_DOC_DIR})
