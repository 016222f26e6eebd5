# Removes what `make install` put under $DESTDIR$PREFIX: every file of LIST (one path
# relative to the prefix a line), then the game's own directories under DATA_DIR when
# nothing else is left in them. Directories other programs share stay.
#   cmake -DPREFIX=/usr/local -DLIST=build/release/installed_files.txt \
#         -DDATA_DIR=share/games/gorvenshale -P tools/uninstall.cmake
file(STRINGS "${LIST}" files)
set(root "$ENV{DESTDIR}${PREFIX}")
foreach(f ${files})
  if(EXISTS "${root}/${f}" OR IS_SYMLINK "${root}/${f}")
    message(STATUS "Removing ${root}/${f}")
    file(REMOVE "${root}/${f}")
  endif()
endforeach()
# Levels a player added to the installed directory keep it, and their files, in place.
foreach(dir "${DATA_DIR}/level" "${DATA_DIR}")
  if(IS_DIRECTORY "${root}/${dir}")
    file(GLOB left LIST_DIRECTORIES true "${root}/${dir}/*" "${root}/${dir}/.*")
    if(left)
      message(STATUS "Keeping ${root}/${dir}: it holds files the install did not put there")
    else()
      file(REMOVE_RECURSE "${root}/${dir}")
    endif()
  endif()
endforeach()
