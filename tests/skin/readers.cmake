quelta_add_test(skin_reader_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/layout_reader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rating_choice_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/language_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/skin_path_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/skin_loader_test.cpp
  LIBS quelta_skin quelta_registry)

# The skin check against the skin the build generates, and the image lists compiled in.
quelta_add_test(skin_check_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/skin_check_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/skin_resources_test.cpp
  LIBS quelta_skin_check quelta_registry quelta_skin_resources Qt6::Gui)

# The generator's table and pictures.
quelta_add_test(skingen_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/skingen_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bitmap_file_test.cpp
  LIBS quelta_skingen quelta_registry quelta_ui)

# Tests of the generated skin need it drawn first and find it in the program folder. (The
# ThreadSanitizer build makes none of these programs, so each is looked for first.)
foreach(test skin_check_tests skingen_tests)
  if(TARGET ${test})
    if(TARGET skin_files)
      add_dependencies(${test} skin_files)
    endif()
    # The test environment carries only its first variable, so the folder comes in compiled too.
    target_compile_definitions(${test} PRIVATE QUELTA_TEST_BIN_DIR="${QUELTA_BIN_DIR}")
  endif()
endforeach()
