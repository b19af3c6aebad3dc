# The programs the release ships: each gets its icon and version resource,
# and (with MinGW-w64) a link map beside it, from which the release test
# learns what third-party code went into it.
set(KAVIX_SHIPPED_PROGRAMS kavix kavix-cli kavix-unitsim)

foreach(program kavix-cli kavix-unitsim)
  target_sources(${program} PRIVATE ${PROJECT_SOURCE_DIR}/resources/${program}.rc)
  target_include_directories(${program} PRIVATE ${PROJECT_SOURCE_DIR}/resources)
endforeach()

if(NOT MSVC)
  foreach(program ${KAVIX_SHIPPED_PROGRAMS})
    target_link_options(${program} PRIVATE "LINKER:-Map=$<TARGET_FILE:${program}>.map")
  endforeach()
endif()
