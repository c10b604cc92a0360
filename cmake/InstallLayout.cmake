# The installed tree, under any prefix. lib/bootrama holds the executables and the windows'
# library: the program folder of an installation that its user may write, as on Windows, or
# else the place the program is run from. bin holds links to the two programs, share/bootrama
# the read-only files that come with the program, reached from lib/bootrama through links so
# that the program finds them beside itself wherever it is installed.
set(BOOTRAMA_INSTALL_PROGRAM_DIR lib/bootrama)
set(BOOTRAMA_INSTALL_DATA_DIR share/bootrama)

# Installs the relative symbolic link DESTINATION/NAME -> TARGET. A folder left there by an
# installation of the earlier layout, which kept the files in the program folder, goes first.
function(bootrama_install_link target destination name)
  set(link "${CMAKE_BINARY_DIR}/install-links/${destination}/${name}")
  get_filename_component(folder "${link}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(CREATE_LINK "${target}" "${link}" SYMBOLIC)
  install(CODE "
    set(old \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${name}\")
    if(IS_DIRECTORY \"\${old}\" AND NOT IS_SYMLINK \"\${old}\")
      file(REMOVE_RECURSE \"\${old}\")
    endif()
  ")
  install(FILES "${link}" DESTINATION "${destination}")
endfunction()

# Installs FILES and DIRECTORIES of the program folder into share/bootrama, each linked from
# lib/bootrama under its own name.
function(bootrama_install_program_data)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "FILES;DIRECTORIES")
  install(FILES ${arg_FILES} DESTINATION "${BOOTRAMA_INSTALL_DATA_DIR}")
  install(DIRECTORY ${arg_DIRECTORIES} DESTINATION "${BOOTRAMA_INSTALL_DATA_DIR}")
  foreach(item IN LISTS arg_FILES arg_DIRECTORIES)
    get_filename_component(name "${item}" NAME)
    bootrama_install_link("../../${BOOTRAMA_INSTALL_DATA_DIR}/${name}"
                          "${BOOTRAMA_INSTALL_PROGRAM_DIR}" "${name}")
  endforeach()
endfunction()
