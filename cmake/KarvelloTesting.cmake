# karvello_add_test(NAME SOURCES ... LIBS ... [QT] [DEFINITIONS ...]
#                   [LABELS ...] [TIMEOUT seconds] [DISCOVERY_TIMEOUT seconds])
#
# Adds one GoogleTest program and registers each of its tests with ctest.
# Every test program includes from the project root only ("mapdata/...",
# "tests/support/..."), so a header means the same thing wherever it is used.
# QT marks a program that creates Qt objects: only those run on Qt's offscreen
# platform, so a test that needs no Qt cannot come to depend on it unseen,
# and only those have AUTOMOC.
function(karvello_add_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "QT" "NAME;TIMEOUT;DISCOVERY_TIMEOUT"
                        "SOURCES;LIBS;DEFINITIONS;LABELS")
  if(NOT arg_NAME OR NOT arg_SOURCES)
    message(FATAL_ERROR "karvello_add_test needs NAME and SOURCES")
  endif()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "karvello_add_test: unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()

  add_executable(${arg_NAME} ${arg_SOURCES})
  target_include_directories(${arg_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${arg_NAME} PRIVATE ${arg_LIBS})
  if(arg_DEFINITIONS)
    target_compile_definitions(${arg_NAME} PRIVATE ${arg_DEFINITIONS})
  endif()

  set(properties)
  if(arg_QT)
    set_target_properties(${arg_NAME} PROPERTIES AUTOMOC ON)
    list(APPEND properties ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  endif()
  if(arg_LABELS)
    list(APPEND properties LABELS "${arg_LABELS}")
  endif()
  if(arg_TIMEOUT)
    list(APPEND properties TIMEOUT ${arg_TIMEOUT})
  endif()
  if(NOT arg_DISCOVERY_TIMEOUT)
    set(arg_DISCOVERY_TIMEOUT 30)
    if(CMAKE_CROSSCOMPILING_EMULATOR)
      # The first program run under wine sets up its prefix, which takes
      # about a minute, and each later one takes seconds to start.
      set(arg_DISCOVERY_TIMEOUT 300)
    endif()
  endif()
  if(properties)
    gtest_discover_tests(${arg_NAME} DISCOVERY_TIMEOUT ${arg_DISCOVERY_TIMEOUT}
                         PROPERTIES ${properties})
  else()
    gtest_discover_tests(${arg_NAME} DISCOVERY_TIMEOUT ${arg_DISCOVERY_TIMEOUT})
  endif()
endfunction()
