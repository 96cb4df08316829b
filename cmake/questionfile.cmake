# SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the default question file unless one is there already: a rebuild never
# overwrites the player's own questions. quizdb create refuses an existing file
# and leaves no half-made file behind when it fails, so nothing is removed here.
if(EXISTS "${OUT}" OR IS_SYMLINK "${OUT}")
    return()
endif()
execute_process(COMMAND "${QUIZDB}" create "${OUT}" "${CSV}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Die Fragendatei ${OUT} konnte nicht aus ${CSV} erstellt werden.")
endif()
