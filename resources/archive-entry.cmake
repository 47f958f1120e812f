# The portable archive's menu entry as it stands in the sources, put back before CPack packs the tree.
# Where the archive will be unpacked is unknown, so this entry starts `trillora` by name.
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/desktop/trillora.desktop"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/share/applications/trillora.desktop")
