# vandor_folder_includes(TARGET FOLDER [PRIVATE])
#
# Makes the headers of the source folder FOLDER includable, as
# "FOLDER/name.h", for TARGET and (unless PRIVATE) for everything that links
# it, and nothing else: the include directory is a folder of the build tree
# holding one link, FOLDER, to the source folder. A library thus sees the
# folders of the libraries below it, never the whole source tree, and an
# include across the layers fails to compile (cmake/check_layers.cmake
# names such includes in the tests as well).
function(vandor_folder_includes target folder)
  set(directory ${CMAKE_BINARY_DIR}/include/${folder})
  if(NOT IS_SYMLINK ${directory}/${folder})
    file(MAKE_DIRECTORY ${directory})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${directory}/${folder} SYMBOLIC)
  endif()
  set(scope PUBLIC)
  if(ARGN STREQUAL "PRIVATE")
    set(scope PRIVATE)
  endif()
  target_include_directories(${target} ${scope} ${directory})
endfunction()
