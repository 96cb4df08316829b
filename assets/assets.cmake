# SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The game window's background picture and icon, compiled into the program as
# Qt resources (":/background.png", ":/icon.png").
qt_add_resources(quizlib quizassets
    PREFIX "/"
    BASE ${CMAKE_CURRENT_LIST_DIR}
    FILES ${CMAKE_CURRENT_LIST_DIR}/background.png
          ${CMAKE_CURRENT_LIST_DIR}/icon.png)

# The small program that draws both pictures; built only on request:
#   ninja draw_assets && ./draw_assets <source>/assets
add_executable(draw_assets EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/draw_assets.cpp)
target_link_libraries(draw_assets PRIVATE Qt6::Gui)
