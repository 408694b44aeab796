quelta_add_test(skin_reader_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/reg_fixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_reader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rating_choice_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/language_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/skin_path_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/skin_loader_test.cpp
  LIBS quelta_skin)
