# Header-only libraries from Debian's packages (CLI11, nlohmann-json), used by
# both trees. The Windows tree must take only these headers from the host,
# not the host's C library, so it gets a directory with links to them alone.
function(kavix_use_host_headers target)
  find_path(KAVIX_CLI11_INCLUDE CLI/CLI.hpp NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_path(KAVIX_JSON_INCLUDE nlohmann/json.hpp NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  if(CMAKE_CROSSCOMPILING)
    set(links ${KAVIX_GENERATED}/host-headers)
    file(MAKE_DIRECTORY ${links})
    if(NOT EXISTS ${links}/CLI)
      file(CREATE_LINK ${KAVIX_CLI11_INCLUDE}/CLI ${links}/CLI SYMBOLIC)
    endif()
    if(NOT EXISTS ${links}/nlohmann)
      file(CREATE_LINK ${KAVIX_JSON_INCLUDE}/nlohmann ${links}/nlohmann SYMBOLIC)
    endif()
    target_include_directories(${target} PRIVATE ${links})
  endif()
endfunction()
