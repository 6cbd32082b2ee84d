# Every folder is one library whose sources are the folder's .cpp files, so
# adding a file never means editing a shared list.
function(tessary_folder_sources out dir)
  file(GLOB _srcs CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h")
  set(${out} ${_srcs} PARENT_SCOPE)
endfunction()

# A GoogleTest suite from the .cpp files of tests/<name>.
function(tessary_test_suite name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp")
  if(NOT _srcs)
    return()
  endif()
  add_executable(test_${name} ${_srcs})
  target_link_libraries(test_${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  # A compile definition: a second variable in ENVIRONMENT would be split off
  # by the discovery and never reach the tests.
  target_compile_definitions(test_${name} PRIVATE TESSARY_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()
