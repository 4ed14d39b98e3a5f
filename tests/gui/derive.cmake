# Integration, component behavior trees and evolution trees in the main
# window, on the automatic door example.
foreach(subject deriveintegration derivetrees)
  verdantis_add_test(tst_${subject} SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_${subject}.cpp LIBS verdantis_gui)
endforeach()
