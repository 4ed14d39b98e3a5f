# Windows of interaction networks and interface diagrams: what they draw,
# the commands that make them, and when they close.
foreach(subject diagramwindows diagramcommands)
  verdantis_add_test(tst_${subject} SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_${subject}.cpp
                     ${CMAKE_CURRENT_LIST_DIR}/diagramtestkit.h LIBS verdantis_gui)
endforeach()
