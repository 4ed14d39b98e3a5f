verdantis_add_test(tst_packetframer SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_packetframer.cpp LIBS verdantis_core)
verdantis_add_test(tst_packetlog SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_packetlog.cpp LIBS verdantis_core)
verdantis_add_test(tst_clientsocket
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_clientsocket.cpp ${CMAKE_CURRENT_LIST_DIR}/fakeserver.h
  LIBS verdantis_core)
verdantis_add_test(tst_sharedsolutionclient
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_sharedsolutionclient.cpp ${CMAKE_CURRENT_LIST_DIR}/fakeserver.h
  LIBS verdantis_core)
