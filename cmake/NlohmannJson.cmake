# nlohmann/json (Debian's nlohmann-json3-dev), header only. Natively through
# its CMake package. A cross build gets a folder of its own that holds only
# those headers: the build machine's /usr/include must never reach the
# MinGW-w64 compiler.
if(CMAKE_CROSSCOMPILING)
  set(nlohmann_headers ${CMAKE_BINARY_DIR}/nlohmann-json)
  if(NOT EXISTS /usr/include/nlohmann/json.hpp)
    message(FATAL_ERROR "nlohmann/json is missing: run scripts/install-deps")
  endif()
  file(COPY /usr/include/nlohmann DESTINATION ${nlohmann_headers})
  add_library(nlohmann_json INTERFACE)
  target_include_directories(nlohmann_json SYSTEM INTERFACE ${nlohmann_headers})
  add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)
else()
  find_package(nlohmann_json 3.11 REQUIRED)
endif()
