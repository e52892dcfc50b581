# Window tests of the maintenance dialogs (status, auto recovery list, log
# viewer), in-process like talvane_window_test and over the same support.
add_executable(talvane_dialogs_window_test
  gui_test_main.cpp
  app_thread.cpp
  talvane_window_fixture.cpp
  dialog_steps.cpp
  dialog_world.cpp
  status_dialog_test.cpp
  auto_check_dialog_test.cpp
  log_viewer_test.cpp)
target_link_libraries(talvane_dialogs_window_test PRIVATE talvane_gui_support talvane_ui
                                                          talvane_resources korvex_simworld)
target_compile_definitions(talvane_dialogs_window_test PRIVATE TALVANE_GUI_COMPANIONS="")
korvex_warnings(talvane_dialogs_window_test)
set_target_properties(talvane_dialogs_window_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${simbin})
add_test(NAME talvane_dialogs_window_test COMMAND talvane_dialogs_window_test)
set_tests_properties(talvane_dialogs_window_test PROPERTIES TIMEOUT 180
                                                            ENVIRONMENT KORVEX_WINE_DISPLAY=xvfb)
