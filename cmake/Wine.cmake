# Runs the Windows programs of this tree under Wine, in a Wine prefix inside
# the build folder (never the user's own): CTest and the custom targets call
# them through ${CMAKE_BINARY_DIR}/wine-run.
set(VANDOR_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
               GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
