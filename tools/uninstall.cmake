# Removes what `make install` put under $DESTDIR$PREFIX: every file of LIST (one path
# relative to the prefix a line), then the game's own directories under DATA_DIR and
# DOC_DIR when nothing else is left in them. Directories other programs share stay. A
# path it could not remove is named on a line of its own, and the removal then fails.
#   cmake -DPREFIX=/usr/local -DLIST=build/release/installed_files.txt \
#         -DDATA_DIR=share/games/gorvenshale -DDOC_DIR=share/doc/gorvenshale \
#         -P tools/uninstall.cmake
file(STRINGS "${LIST}" files)
set(root "$ENV{DESTDIR}${PREFIX}")
set(stayed 0)
foreach(f IN LISTS files)
  set(path "${root}/${f}")
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(STATUS "Removing ${path}")
    # A directory in a file's place is not the install's: it stays, and is reported.
    if(NOT IS_DIRECTORY "${path}" OR IS_SYMLINK "${path}")
      file(REMOVE "${path}")
    endif()
    if(EXISTS "${path}" OR IS_SYMLINK "${path}")
      message(NOTICE "Could not remove ${path}")
      math(EXPR stayed "${stayed} + 1")
    endif()
  endif()
endforeach()
# Levels a player added to the installed directory keep it, and their files, in place.
foreach(dir "${DATA_DIR}/level" "${DATA_DIR}" "${DOC_DIR}")
  set(path "${root}/${dir}")
  if(IS_DIRECTORY "${path}")
    file(GLOB left LIST_DIRECTORIES true "${path}/*" "${path}/.*")
    if(left)
      message(STATUS "Keeping ${path}: it holds files the install did not put there")
    else()
      file(REMOVE_RECURSE "${path}")
      if(EXISTS "${path}")
        message(NOTICE "Could not remove ${path}")
        math(EXPR stayed "${stayed} + 1")
      endif()
    endif()
  endif()
endforeach()
if(stayed GREATER 0)
  message(FATAL_ERROR "${stayed} installed path(s) could not be removed (listed above)")
endif()
