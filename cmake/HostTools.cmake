# The packer runs on the build machine, so it is built natively as a project of
# its own, with the host compiler and the host zlib.
include(ExternalProject)
set(HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host)
ExternalProject_Add(hosttools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools
  BINARY_DIR ${HOST_TOOLS_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${HOST_TOOLS_DIR}/packer/vpack ${HOST_TOOLS_DIR}/packer/vpack_tests)
set(VPACK ${HOST_TOOLS_DIR}/packer/vpack)
