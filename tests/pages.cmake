# Tests of the device pages, their press guard and the configuration file commands.
quorix_add_test(tst_devicepress SOURCES tst_devicepress.cpp
  LIBS quorix-ui test-support LABELS ui GUI)
quorix_add_test(tst_tabform3 SOURCES tst_tabform3.cpp
  LIBS quorix-ui test-support LABELS ui GUI)
quorix_add_test(tst_tabform4 SOURCES tst_tabform4.cpp
  LIBS quorix-ui test-support LABELS ui GUI)
quorix_add_test(tst_configfilecommands SOURCES tst_configfilecommands.cpp
  LIBS quorix-ui test-support LABELS ui GUI)
