# Read by cpack for each generator: the .deb holds the program folder at /opt/quittung and the
# system's menu entry, the archive only the program folder, as Quittung/ at its top.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL program system)
else()
  set(CPACK_COMPONENTS_ALL archive)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
