# Runs the Windows programs of this tree under Wine, in a Wine prefix inside
# the build folder (never the user's own): CTest and the custom targets call
# them through ${CMAKE_BINARY_DIR}/wine-run.
#
# Each architecture has its own loader and prefix: 32-bit programs run under
# the 32-bit loader in a win32 prefix, 64-bit ones under the 64-bit loader in
# a win64 prefix. The loaders are called directly: Debian's `wine` script
# picks the 32-bit one whenever it is installed, even where the kernel cannot
# run it. Debian keeps them in /usr/lib/wine; elsewhere they are on the PATH.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VANDOR_WINEARCH win64)
  set(loaderNames wine64)
else()
  set(VANDOR_WINEARCH win32)
  set(loaderNames wine)
endif()
# The 64-bit server serves both kinds of prefix, a 32-bit one only win32.
if(IS_DIRECTORY /usr/lib/wine)
  # Debian: never the `wine` script on the PATH, which falls back to the
  # 64-bit loader when the 32-bit one is missing.
  find_program(VANDOR_WINE_LOADER NAMES ${loaderNames} PATHS /usr/lib/wine NO_DEFAULT_PATH)
  find_program(VANDOR_WINESERVER NAMES wineserver64 wineserver32 PATHS /usr/lib/wine
               NO_DEFAULT_PATH)
else()
  find_program(VANDOR_WINE_LOADER NAMES ${loaderNames})
  find_program(VANDOR_WINESERVER NAMES wineserver)
endif()
foreach(program VANDOR_WINE_LOADER VANDOR_WINESERVER)
  if(NOT ${program})
    # Searched again at the next configure; until then wine-run says what
    # is missing.
    set(${program} "")
  endif()
endforeach()

set(VANDOR_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(VANDOR_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run")
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${VANDOR_WINE_RUN}
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
               GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Tests name the exit status of a program that fails.
set(CMAKE_CROSSCOMPILING_EMULATOR ${VANDOR_WINE_RUN} --test)
