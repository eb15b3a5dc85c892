# vandor_folder_includes(TARGET FOLDER [PRIVATE])
#
# Makes the headers of the source folder FOLDER includable, as
# "FOLDER/name.h", for TARGET and (unless PRIVATE) for everything that links
# it, and nothing else. A library thus sees the folders of the libraries
# below it, never the whole source tree, and an include across the layers
# fails to compile (cmake/check_layers.cmake names such includes in the
# tests as well).
#
# A folder with public headers of its own, FOLDER/include/FOLDER/, shows
# only those to the targets that link it; its other headers are the
# library's internals, includable by the library itself and by the targets
# given vandor_internal_includes (its tests). Otherwise every header of the
# folder is shown: the include directory is then a folder of the build tree
# holding one link, FOLDER, to the source folder.
function(vandor_folder_includes target folder)
  set(scope PUBLIC)
  if(ARGN STREQUAL "PRIVATE")
    set(scope PRIVATE)
  endif()
  set(public ${PROJECT_SOURCE_DIR}/${folder}/include)
  if(IS_DIRECTORY ${public}/${folder})
    target_include_directories(${target} ${scope} ${public})
    vandor_internal_includes(${target} ${folder})
  else()
    target_include_directories(${target} ${scope} ${CMAKE_BINARY_DIR}/include/${folder})
    vandor_link_folder(${folder})
  endif()
endfunction()

# vandor_internal_includes(TARGET FOLDER): the internal headers of FOLDER
# for TARGET alone (the library itself, its tests, its fuzz targets).
function(vandor_internal_includes target folder)
  vandor_link_folder(${folder})
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/include/${folder})
endfunction()

function(vandor_link_folder folder)
  set(directory ${CMAKE_BINARY_DIR}/include/${folder})
  if(NOT IS_SYMLINK ${directory}/${folder})
    file(MAKE_DIRECTORY ${directory})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${directory}/${folder} SYMBOLIC)
  endif()
endfunction()
