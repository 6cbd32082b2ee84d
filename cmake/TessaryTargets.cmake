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
  # Under Wine, / is the drive Z:.
  set(host_prefix "")
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(host_prefix "Z:")
  endif()
  # Test programs speak UTF-8 with the system as the programs do.
  tessary_windows_program(test_${name} "Tessary tests: ${name}")
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 300
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  # A compile definition: a second variable in ENVIRONMENT would be split off
  # by the discovery and never reach the tests.
  target_compile_definitions(test_${name} PRIVATE
    TESSARY_SOURCE_DIR="${host_prefix}${PROJECT_SOURCE_DIR}")
endfunction()

# A Windows executable's own resources: the manifest (common controls 6,
# per-monitor DPI awareness, UTF-8 code page, asInvoker) and its version.
function(tessary_windows_program target description)
  if(NOT WIN32)
    return()
  endif()
  set(TESSARY_EXE_NAME "${target}")
  set(TESSARY_EXE_DESCRIPTION "${description}")
  set(TESSARY_MANIFEST "${PROJECT_SOURCE_DIR}/app/windows/tessary.manifest")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}-program.rc")
  configure_file("${PROJECT_SOURCE_DIR}/app/windows/program.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${TESSARY_MANIFEST}")
endfunction()
