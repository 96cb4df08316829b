# SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The game window's background picture and icons, compiled into the program as
# Qt resources (":/background.png", ":/icon.png", ":/icons/N.png"), and the
# code that draws the background. The window draws it at every size, at 100 %
# the very pixels of background.png, which stays as the picture to compare
# with (bench_startup's plain window shows it).
qt_add_resources(quizlib quizassets
    PREFIX "/"
    BASE ${CMAKE_CURRENT_LIST_DIR}
    FILES ${CMAKE_CURRENT_LIST_DIR}/background.png
          ${CMAKE_CURRENT_LIST_DIR}/icon.png
          ${CMAKE_CURRENT_LIST_DIR}/icons/16.png
          ${CMAKE_CURRENT_LIST_DIR}/icons/22.png
          ${CMAKE_CURRENT_LIST_DIR}/icons/48.png
          ${CMAKE_CURRENT_LIST_DIR}/icons/64.png
          ${CMAKE_CURRENT_LIST_DIR}/icons/128.png
          ${CMAKE_CURRENT_LIST_DIR}/icons/256.png
    OUTPUT_TARGETS quiz_asset_objects)
# The resources of a static library are compiled in an object library of their
# own, which needs no header and so none of quizlib's include folders (one of
# them is made only with quizlib's moc output: -Wmissing-include-dirs).
set_target_properties(${quiz_asset_objects} PROPERTIES AUTOMOC OFF INCLUDE_DIRECTORIES "")
target_sources(quizlib PRIVATE ${CMAKE_CURRENT_LIST_DIR}/stagepicture.cpp ${CMAKE_CURRENT_LIST_DIR}/stagepicture.h)

# The small program that draws the pictures; built only on request:
#   ninja draw_assets && ./draw_assets <source>/assets
add_executable(draw_assets EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/draw_assets.cpp
               ${CMAKE_CURRENT_LIST_DIR}/stagepicture.cpp)
target_include_directories(draw_assets PRIVATE ${QUIZ_ROOT})
target_link_libraries(draw_assets PRIVATE Qt6::Gui)
