quelta_add_test(skin_controls_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/control_fixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gallery_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_label_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_track_bar_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/status_rect_bar_test.cpp
  LIBS quelta_skin_controls
  LABELS ui)

find_package(Qt6 REQUIRED COMPONENTS Test)
quelta_add_test(skin_controls_live_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/control_fixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/live_controls_test.cpp
  LIBS quelta_skin_controls quelta_ui_qt Qt6::Test
  LABELS ui)
