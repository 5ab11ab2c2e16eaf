# jsoncpp and libcurl, built for the Windows target by scripts/setup into QUELM_DEPS_DIR.
if(NOT QUELM_DEPS_DIR OR NOT EXISTS "${QUELM_DEPS_DIR}/lib/libcurl.a")
  message(FATAL_ERROR "QUELM_DEPS_DIR must name the folder scripts/setup built (got '${QUELM_DEPS_DIR}')")
endif()

add_library(jsoncpp_static STATIC IMPORTED GLOBAL)
set_target_properties(jsoncpp_static PROPERTIES
  IMPORTED_LOCATION "${QUELM_DEPS_DIR}/lib/libjsoncpp.a"
  INTERFACE_INCLUDE_DIRECTORIES "${QUELM_DEPS_DIR}/include")

add_library(curl_static STATIC IMPORTED GLOBAL)
set_target_properties(curl_static PROPERTIES
  IMPORTED_LOCATION "${QUELM_DEPS_DIR}/lib/libcurl.a"
  INTERFACE_INCLUDE_DIRECTORIES "${QUELM_DEPS_DIR}/include"
  INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB
  INTERFACE_LINK_LIBRARIES "ws2_32;crypt32;bcrypt;secur32;advapi32;iphlpapi;normaliz")
