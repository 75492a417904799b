# The device pages, their press guard and the configuration file commands, part of quorix-ui.
target_sources(quorix-ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/device_access.h
  ${CMAKE_CURRENT_LIST_DIR}/device_access.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_press.h
  ${CMAKE_CURRENT_LIST_DIR}/device_press.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tabform3.h
  ${CMAKE_CURRENT_LIST_DIR}/tabform3.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tabform4.h
  ${CMAKE_CURRENT_LIST_DIR}/tabform4.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config_file_commands.h
  ${CMAKE_CURRENT_LIST_DIR}/config_file_commands.cpp
)
# resources/tabform3.ui and tabform4.ui reach uic through the target's AUTOUIC search path:
# listed here too, they would also be claimed by the resource object library's uic run.

# A .qrc in a static library would be missing at run time unless added this way.
qt_add_resources(quorix-ui "pages"
  PREFIX "/"
  BASE ${CMAKE_SOURCE_DIR}/resources
  FILES
    ${CMAKE_SOURCE_DIR}/resources/icons/icon103.svg
    ${CMAKE_SOURCE_DIR}/resources/icons/icon104.svg
    ${CMAKE_SOURCE_DIR}/resources/icons/icon105.svg
)
