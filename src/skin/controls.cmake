# quelta_skin_controls: the two skinned controls, TImageTrackBar and TImageLabel, on the small
# GUI framework.
add_library(quelta_skin_controls STATIC
  ${CMAKE_CURRENT_LIST_DIR}/file_resolver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_track_bar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/digit_row.cpp
  ${CMAKE_CURRENT_LIST_DIR}/track_gauge.cpp
  ${CMAKE_CURRENT_LIST_DIR}/status_rect_bar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/track_marker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/track_bar_layouts.cpp)
target_link_libraries(quelta_skin_controls PUBLIC quelta_ui quelta_core_numbers)
