# SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Run by CPack on the files it has staged for the Debian packages, after they
# are stripped: takes the compiler's notes (.comment, .note) out of every ELF
# file, as Debian's own packaging does.
file(GLOB_RECURSE quiz_staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS quiz_staged)
    if(IS_SYMLINK "${file}")
        continue()
    endif()
    file(READ "${file}" quiz_magic LIMIT 4 HEX)
    if(quiz_magic STREQUAL "7f454c46")
        execute_process(COMMAND "${CPACK_QUIZ_OBJCOPY}" --remove-section=.comment --remove-section=.note "${file}"
                        RESULT_VARIABLE quiz_result)
        if(NOT quiz_result EQUAL 0)
            message(FATAL_ERROR "objcopy failed on ${file}")
        endif()
    endif()
endforeach()
