# Removes what the last "cmake --install" of this build tree put in place:
#   cmake -DMANIFEST=<build>/install_manifest.txt "-DOWNED_DIRS=a;b" -P Uninstall.cmake
# DESTDIR is honoured as by the install: a manifest path that does not lie
# under $DESTDIR already is looked for there. Afterwards the folders this
# project owns (OWNED_DIRS) are removed where they hold nothing any more:
# a folder that still holds a file (a user's profile file) stays.
if(NOT EXISTS "${MANIFEST}")
    message(FATAL_ERROR "nothing to uninstall: ${MANIFEST} does not exist (install first)")
endif()

set(destdir "$ENV{DESTDIR}")
string(REGEX REPLACE "/+$" "" destdir "${destdir}")

function(staged out path)
    if(destdir AND NOT path MATCHES "^${destdir}/")
        set(path "${destdir}${path}")
    endif()
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

file(STRINGS "${MANIFEST}" installed)
set(removed 0)
foreach(file IN LISTS installed)
    staged(file "${file}")
    if(EXISTS "${file}" OR IS_SYMLINK "${file}")
        file(REMOVE "${file}")
        if(EXISTS "${file}" OR IS_SYMLINK "${file}")
            message(FATAL_ERROR "cannot remove ${file}")
        endif()
        math(EXPR removed "${removed} + 1")
    endif()
endforeach()
message(STATUS "Removed ${removed} installed files")

# Empty folders first, deepest first, then each owned folder itself.
foreach(dir IN LISTS OWNED_DIRS)
    staged(dir "${dir}")
    if(NOT IS_DIRECTORY "${dir}")
        continue()
    endif()
    file(GLOB_RECURSE inside LIST_DIRECTORIES true "${dir}/*")
    list(SORT inside ORDER DESCENDING)
    foreach(entry IN LISTS inside ITEMS "${dir}")
        # rmdir removes a folder only when it is empty.
        if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
            execute_process(COMMAND rmdir "${entry}" ERROR_QUIET)
        endif()
    endforeach()
endforeach()
