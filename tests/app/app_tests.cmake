# The Windows program's tests, included by src/app once GoogleTest is set up:
# the in-process tests of the window (run under Wine by ctest) and the driver
# the end-to-end scenarios use to look at the real program's windows.

set(APP_TESTS_DIR ${PROJECT_SOURCE_DIR}/tests/app)

add_executable(app_tests
  ${APP_TESTS_DIR}/window_harness.cpp
  ${APP_TESTS_DIR}/window_test.cpp
  ${APP_TESTS_DIR}/resources_test.cpp
  ${APP_TESTS_DIR}/commands_test.cpp
  ${APP_TESTS_DIR}/progress_test.cpp
  $<TARGET_OBJECTS:logweave_res>)
target_include_directories(app_tests PRIVATE ${PROJECT_SOURCE_DIR}/tools
                           ${APP_TESTS_DIR})
target_link_libraries(app_tests PRIVATE logweave_app logweave_cli logweave_test_support
                      GTest::gtest_main)
# The window tests take the keyboard focus; one at a time.
gtest_discover_tests(app_tests DISCOVERY_MODE PRE_TEST
                     PROPERTIES RUN_SERIAL TRUE)

add_executable(lw_driver ${APP_TESTS_DIR}/driver.cpp)
