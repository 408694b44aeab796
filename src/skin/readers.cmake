# Skin layout readers, language folders, skin paths and the skin loader: plain C++.
add_library(quelta_skin STATIC
  ${CMAKE_CURRENT_LIST_DIR}/language.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layout_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_records.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rating_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_keys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_pages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_path.cpp)
target_include_directories(quelta_skin PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(quelta_skin PUBLIC quelta_core_numbers)

# The skin check of quelta-ctl; it opens the pictures, so it needs Qt's image readers.
add_library(quelta_skin_check STATIC ${CMAKE_CURRENT_LIST_DIR}/skin_check.cpp)
target_link_libraries(quelta_skin_check PUBLIC quelta_skin PRIVATE Qt6::Gui)
